#pragma once

// Lets the calendar engine hand addresses to the desktop (the default browser, mail or
// calendar application for the scheme). The application calls it once at start-up, after
// its QGuiApplication exists.
namespace DesktopUrlOpener {

void install();

} // namespace DesktopUrlOpener
