#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CometRecords.h"
#include "MessageBox.h"

// What every command shares: parsed options, messages, data sets.
struct Arguments {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // "--name", value ("" for flags)

  bool Has(const std::string& name) const;
  std::optional<std::string> Value(const std::string& name) const;
};

// Splits arguments into positional ones and options; `withValue` lists the
// options that take a value. Unknown options are an error.
bool ParseArguments(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                    const std::vector<std::string>& withValue, Arguments& out, std::string& error);

// A whole number within bounds, or nothing.
std::optional<long> ParseNumber(const std::string& text, long low, long high);

// Questions go to the terminal when there is one; else they take the
// default answer. Errors are written to stderr.
class TerminalMessageBoxProvider : public MessageBoxProvider {
 public:
  explicit TerminalMessageBoxProvider(std::optional<int> answer) : answer_(answer) {}
  void ShowError(const std::string& text, const std::string& caption) override;
  int AskYesNo(const std::string& text, const std::string& caption) override;

 private:
  std::optional<int> answer_;
};

// The data set of an image or the summary of a folder; an image without
// results, or whose data set cannot be read, gives a message instead.
std::optional<std::string> LoadDataSetOf(const std::string& path, WellRecord& well,
                                         std::string& name);

// One line "strandex-cli: warning: message" on stderr.
void Warn(const std::string& message);

// One line "strandex-cli: message" on stderr.
int Fail(const std::string& message, int status = 2);
