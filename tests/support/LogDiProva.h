#pragma once
// The installation log read back by a test: its messages in order, each
// record checked for its time stamp and its two line ends.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "platform/Cp1252.h"

namespace noce::prova {

inline std::vector<std::string> MessaggiLog(const std::string& logCp1252) {
    std::string log = Cp1252AUtf8(logCp1252);
    static const std::regex stampo(R"(^\d\d/\d\d/\d{4}\|\d\d:\d{1,2}:\d\d\|)");
    std::vector<std::string> messaggi;
    std::size_t inizio = 0;
    while (inizio < log.size()) {
        std::size_t fine = log.find("\r\n\r\n", inizio);
        EXPECT_NE(fine, std::string::npos) << "record without its two line ends: " << log.substr(inizio);
        if (fine == std::string::npos) fine = log.size();
        std::string record = log.substr(inizio, fine - inizio);
        std::smatch m;
        EXPECT_TRUE(std::regex_search(record, m, stampo)) << "record without a time stamp: " << record;
        messaggi.push_back(m.empty() ? record : record.substr(static_cast<std::size_t>(m.length(0))));
        inizio = fine + 4;
    }
    return messaggi;
}

}  // namespace noce::prova
