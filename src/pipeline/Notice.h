#pragma once

#include <QString>

// A message for the user from the road of a photo, worded where it arises. The window decides
// only how a kind looks, and shows it once the step that raised it has returned.
struct Notice {
    enum class Kind {
        Error,       // the photo's report could not be made or shown
        Warning,     // a file of the user's was left alone, or an option could not work
        Information, // how something was done, for the user to know
    };
    Kind kind = Kind::Information;
    QString text;
    QString title; // empty: the program's name
};
