#pragma once

#include <string>

// Opens a document with the desktop's default application, detached from
// this program. The result is the shell's code: greater than 32 on success;
// 2 when the file does not exist, 3 when the folder does not, 31 when no
// application could open it (no association, or no opener at all). On
// failure an ERROR line is logged and, unless silent, an error box captioned
// "ShellExecute(" + file + ")" shows the message. A relative file is taken
// in `directory`; a web address ("https://", "http://") goes to the opener
// as it is, for the desktop's browser. The show command is kept for the trace only; `parameters`
// are not passed to a document's application.
int AnsiString_ShellExecute(const std::string& operation, const std::string& file,
                            const std::string& parameters, const std::string& directory,
                            int showCommand, bool silent);

// The message for a shell result code of 32 or less.
std::string ShellExecuteErrorMessage(int code);

// The program that opens documents: STRANDEX_OPENER from the environment,
// else "xdg-open". Tests and packagers may set another.
void SetDocumentOpener(const std::string& program);
std::string DocumentOpener();
