#pragma once
// The installation log: one time-stamped record per call, in
// DirFiles\logInstallazione.txt.
#include <string>

namespace noce {

// The working folder: the installer's folder + "\files". Empty until
// start-up sets it.
extern std::string DirFiles;

// Appends "dd/mm/yyyy|hh:m:ss|message" + CR LF + CR LF to the log; the
// record is with the operating system when the call returns, so a program
// that dies right after loses none. Before DirFiles is set the record
// goes to standard error instead: there is no log to hold it yet.
void ScriviLog(const std::string& messaggio);

// The record ScriviLog writes for a message at a given date and time.
std::string RecordLog(const std::string& data, const std::string& ora, const std::string& messaggio);

}  // namespace noce
