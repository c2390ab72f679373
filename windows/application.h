#pragma once

#include <QString>

// Makes the pictures built into the program available under ":/". Safe to call
// more than once.
void registerResources();

// Sets what every window of the program shares, such as its icon.
void prepareApplication();

// Loads the main window from programDirectory and runs the program until the
// window closes. Returns the exit status: non-zero when the roster could not be
// loaded, in which case no window was shown.
int runMainWindow(const QString &programDirectory);
