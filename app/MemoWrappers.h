#pragma once

#include <string>

class QPlainTextEdit;

// Replaces the text of a multi-line text box; false (with the ERROR line)
// without one.
bool TMemo_SetText(QPlainTextEdit* memo, const std::string& text);
