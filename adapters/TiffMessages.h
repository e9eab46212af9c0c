#pragma once

// The TIFF decoder's warnings and errors (a directory out of order, a strip
// that cannot be read) go to the event log instead of the terminal.
void RouteTiffMessagesToLog();
