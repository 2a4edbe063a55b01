// The readers of the traces today's Windows keeps of what a user did: jump
// lists, programs started from the shell, folders opened in Explorer, the
// Recycle Bin, PowerShell commands, remote desktop connections, Office
// documents and the programs started with Windows (the activity history is
// a database: see readers/browsers/ActivityReaders.h).
// Every row's cells are typed (times as instants, counts as numbers); a
// store that is missing gives no rows, a damaged one the rows read before
// the damage. Nothing read is changed.
#pragma once

#include <cstdint>
#include <string>

#include "readers/RowSink.h"

namespace tmr {

// Where the traces live (HKEY_CURRENT_USER unless said otherwise).
inline const std::string kUserAssistKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist";
// Under the user's classes (UsrClass.dat) from Vista on, under the user's
// own hive before and for some folders still.
inline const std::string kClassesBagMruKey = "Local Settings\\Software\\Microsoft\\Windows\\Shell\\BagMRU";
inline const std::string kUserBagMruKey = "Software\\Microsoft\\Windows\\Shell\\BagMRU";
inline const std::string kRemoteDesktopKey = "Software\\Microsoft\\Terminal Server Client";
inline const std::string kOfficeKey = "Software\\Microsoft\\Office";
inline const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const std::string kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// Below the Recent and the AppData folder.
inline const std::string kAutomaticDestinationsFolder = "AutomaticDestinations";
inline const std::string kCustomDestinationsFolder = "CustomDestinations";
inline const std::string kPowerShellHistoryFile = "Microsoft\\Windows\\PowerShell\\PSReadLine\\ConsoleHost_history.txt";

// The cell of a stored FILETIME; 0 (none stored) is an empty text.
inline CellValue FileTimeCell(uint64_t fileTime) {
  return fileTime == 0 ? CellValue::Text({}) : CellValue::Time(InstantFromFileTime(fileTime));
}

// Target, application, last opened, pinned, the target's created, modified
// and accessed times and its size: the automatic lists' entries, then the
// custom lists' links (which have no time of use and no pins).
ReadOutcome ReadJumpLists(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// Program or shortcut, run count, focus time (ms), last run.
ReadOutcome ReadProgramsRun(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// Folder path, when its key was last written: the user's classes first.
ReadOutcome ReadFoldersOpened(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// Original path, size, deleted at, whether the data file is still there.
ReadOutcome ReadRecycleBin(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// Command, its place in the history.
ReadOutcome ReadPowerShellHistory(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// Host, user name hint, when the host's key was last written.
ReadOutcome ReadRemoteDesktop(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// Document, application, last opened.
ReadOutcome ReadOfficeDocuments(const ReadContext& context, RowSink& rows, ReadProgress& progress);
// Name, command, the key it is in, when that key was last written.
ReadOutcome ReadStartupPrograms(const ReadContext& context, RowSink& rows, ReadProgress& progress);

}  // namespace tmr
