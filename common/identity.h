#pragma once

#include <QStringView>

// The program's name: the caption of every message box, and its version.
inline constexpr QStringView ApplicationTitle = u"Quillery";
inline constexpr QStringView ApplicationVersion = u"1.00";
