#pragma once
// The bootstrap's request exactly as it must reach the server: the six
// headers in their order, Host fifth, nothing added.
#include <string>

namespace noce::prova {

inline const std::string RichiestaScaricatore =
    "GET /download/scaricatore.exe HTTP/1.1\r\n"
    "Accept: image/gif, image/jpeg, image/pjpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/x-ms-application, application/x-ms-xbap, application/vnd.ms-xpsdocument, "
    "application/xaml+xml, */*\r\n"
    "Accept-Language: it\r\n"
    "User-Agent: Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 5.1; Trident/4.0; GTB6.4; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.4506.2152; .NET CLR 3.5.30729)\r\n"
    "Accept-Encoding: gzip, deflate\r\n"
    "Host: download.noce.example\r\n"
    "Connection: Keep-Alive\r\n"
    "\r\n";

}  // namespace noce::prova
