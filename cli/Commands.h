#pragma once

#include <string>
#include <vector>

int ScoreCommand(const std::vector<std::string>& args);
int SummaryCommand(const std::vector<std::string>& args);
int ExportCommand(const std::vector<std::string>& args);
int SynthCommand(const std::vector<std::string>& args);
