#include "mdlLogInstallazione.h"

#include <cstdio>

#include "Sistema.h"

namespace noce {

std::string DirFiles;

namespace {

std::string DueCifre(int n) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", n);
    return b;
}

}  // namespace

std::string RecordLog(const std::string& data, const std::string& ora, const std::string& messaggio) {
    return data + "|" + ora + "|" + messaggio + "\r\n" + "\r\n";
}

void ScriviLog(const std::string& messaggio) {
    // Two clock reads, date first: a record written across midnight carries
    // the old date with the new time, as the log always has.
    auto d = sistema::Data();
    std::string data = DueCifre(d.giorno) + "/" + DueCifre(d.mese) + "/" + std::to_string(d.anno);
    auto o = sistema::Ora();
    std::string ora = DueCifre(o.ora) + ":" + std::to_string(o.minuto) + ":" + DueCifre(o.secondo);
    std::string record = RecordLog(data, ora, messaggio);
    if (DirFiles.empty()) {
        std::fputs(record.c_str(), stderr);
        return;
    }
    sistema::AccodaTesto(DirFiles + "\\logInstallazione.txt", record);
}

}  // namespace noce
