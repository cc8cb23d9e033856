// The driver's record of what it checked: one line per check, and a closing count.
#pragma once

#include <string>

class CheckLog {
public:
    // Records one check and returns its outcome, so a walk can stop where later steps need it.
    bool check(bool passed, const std::string& what);
    // A check of a field's text, which shows what was seen when it is not what was expected.
    bool checkText(const std::wstring& seen, const std::wstring& expected, const std::string& what);
    // A check made thousands of times in a long walk: counted, but printed only when it fails.
    bool expect(bool passed, const std::string& what);
    bool expectText(const std::wstring& seen, const std::wstring& expected, const std::string& what);
    int failures() const { return failed; }
    // Prints the closing count; the driver's exit code: 0 when every check passed.
    int finish() const;

private:
    int passed = 0;
    int failed = 0;
};

// ASCII view of a wide text for the log; other characters show as '?'.
std::string Printable(const std::wstring& text);
