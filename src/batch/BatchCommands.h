#pragma once

#include <string>
#include <vector>

namespace kora {

// Each runs one kora-batch command on its arguments (those after the command
// name) and returns the exit status; UsageError and other exceptions are
// turned into messages by main().
int runInit(const std::vector<std::string>& arguments);
int runDemo(const std::vector<std::string>& arguments);
int runUpdate(const std::vector<std::string>& arguments);
int runSql(const std::vector<std::string>& arguments);
int runQuery(const std::vector<std::string>& arguments);
int runUpgrade(const std::vector<std::string>& arguments);
// backup, restore and merge of a state's user notes and fields.
int runBackup(const std::vector<std::string>& arguments);
int runRestore(const std::vector<std::string>& arguments);
int runMerge(const std::vector<std::string>& arguments);
int runPrint(const std::vector<std::string>& arguments);
int runExport(const std::vector<std::string>& arguments);
int runBreakdown(const std::vector<std::string>& arguments);
// The follow-ups due by today and a number of days, oldest first.
int runFollowUps(const std::vector<std::string>& arguments);
// A state moved onto a database server or back into its file, and where it is.
int runPublish(const std::vector<std::string>& arguments);
int runWhere(const std::vector<std::string>& arguments);

} // namespace kora
