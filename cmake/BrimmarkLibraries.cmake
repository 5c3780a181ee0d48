# The libraries Brimmark builds on, found as Debian installs them on Linux and
# as scripts/windows-libraries installs them, built from Debian's sources,
# for the Windows build: the same imported targets on both systems.
#
#   nlohmann_json::nlohmann_json  CLI11::CLI11     CURL::libcurl
#   PkgConfig::SQLITE3            PkgConfig::LIBXML2  PkgConfig::LZ4
#   PkgConfig::LIBIDN2            PkgConfig::HTTPLIB  (cpp-httplib)
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(nlohmann_json 3 REQUIRED)
find_package(CLI11 REQUIRED)
find_package(CURL REQUIRED)
pkg_check_modules(SQLITE3 REQUIRED IMPORTED_TARGET GLOBAL sqlite3)
pkg_check_modules(LIBXML2 REQUIRED IMPORTED_TARGET GLOBAL libxml-2.0)
pkg_check_modules(LZ4 REQUIRED IMPORTED_TARGET GLOBAL liblz4)
pkg_check_modules(LIBIDN2 REQUIRED IMPORTED_TARGET GLOBAL libidn2)
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET GLOBAL cpp-httplib)
