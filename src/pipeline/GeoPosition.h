#pragma once

#include <QByteArray>
#include <optional>

// Where the photo was taken, in signed decimal degrees: south and west negative.
struct GeoPosition {
    double latitude = 0;
    double longitude = 0;
};

// The position from ExifTool's numeric listing ("[Composite] GPSLatitude : -33.8688" …, as
// ExifToolCommand::positionArguments asks for it). The Composite values carry their signs; a
// group without them gives its value the sign of its reference (S and W negative). Nothing
// when either number is missing, not a finite number, or beyond ±90 / ±180.
std::optional<GeoPosition> positionFromListing(const QByteArray &listing);
