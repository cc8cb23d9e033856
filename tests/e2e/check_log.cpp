// Printing the driver's checks as they happen, so a failed walk shows where it went wrong.
#include "check_log.h"

#include <cstdio>

bool CheckLog::check(bool ok, const std::string& what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAIL", what.c_str());
    // A lost line cannot be reported anywhere else; the exit code still carries the result.
    (void)std::fflush(stdout);
    ++(ok ? passed : failed);
    return ok;
}

bool CheckLog::checkText(const std::wstring& seen, const std::wstring& expected, const std::string& what)
{
    if (seen == expected)
        return check(true, what);
    return check(false, what + ": shows \"" + Printable(seen) + "\", expected \"" + Printable(expected) + "\"");
}

bool CheckLog::expect(bool ok, const std::string& what)
{
    if (!ok)
        return check(false, what);
    ++passed;
    return true;
}

bool CheckLog::expectText(const std::wstring& seen, const std::wstring& expected, const std::string& what)
{
    if (seen == expected)
        return expect(true, what);
    return expect(false, what + ": shows \"" + Printable(seen) + "\", expected \"" + Printable(expected) + "\"");
}

int CheckLog::finish() const
{
    std::printf("%d passed, %d failed\n", passed, failed);
    (void)std::fflush(stdout);
    return failed == 0 && passed > 0 ? 0 : 1;
}

std::string Printable(const std::wstring& text)
{
    std::string printable;
    for (const wchar_t c : text)
        printable += (c >= L' ' && c < 0x7F) ? static_cast<char>(c) : '?';
    return printable;
}
