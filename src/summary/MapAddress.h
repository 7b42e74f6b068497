#pragma once

#include "pipeline/GeoPosition.h"

#include <QUrl>

// The map page for a position: OpenStreetMap with a marker at it, at street level,
//   https://www.openstreetmap.org/?mlat=LAT&mlon=LON#map=16/LAT/LON
// with signed decimal degrees to seven places. Made from the two numbers only, so nothing in
// the metadata can choose the address; an invalid QUrl for a position no map has.
QUrl mapAddress(const GeoPosition &position);
