// Parses a DIALOG resource: the header, the font, then each control item on a DWORD boundary.
#include "dialog_template.h"

#include <cwctype>
#include <stdexcept>

namespace {

// A name field is empty, an ordinal after this marker, or a zero-terminated UTF-16 string.
constexpr WORD kOrdinalMarker = 0xFFFF;
constexpr WORD kFirstPredefinedClass = 0x0080;
const wchar_t* const kPredefinedClasses[] = {L"BUTTON", L"EDIT", L"STATIC", L"LISTBOX", L"SCROLLBAR", L"COMBOBOX"};

class TemplateReader {
public:
    explicit TemplateReader(const void* data) : next_(static_cast<const WORD*>(data)) {}

    WORD Word() { return *next_++; }

    DWORD DoubleWord()
    {
        const DWORD low = Word();
        return low | static_cast<DWORD>(Word()) << 16;
    }

    short Coordinate() { return static_cast<short>(Word()); }

    std::wstring String()
    {
        std::wstring text;
        while (*next_ != 0)
            text += static_cast<wchar_t>(*next_++);
        ++next_;
        return text;
    }

    // Returns the string, or "#n" for an ordinal.
    std::wstring NameOrOrdinal()
    {
        if (*next_ != kOrdinalMarker)
            return String();
        ++next_;
        return L"#" + std::to_wstring(Word());
    }

    void AlignToDoubleWord()
    {
        if (reinterpret_cast<UINT_PTR>(next_) % sizeof(DWORD) != 0)
            ++next_;
    }

    // The creation data's first word is its size in bytes, the size word included.
    void SkipCreationData()
    {
        const WORD bytes = *next_;
        next_ += bytes == 0 ? 1 : (bytes + 1) / sizeof(WORD);
    }

private:
    const WORD* next_;
};

std::wstring ClassName(std::wstring name)
{
    if (name.size() > 1 && name[0] == L'#') {
        const auto index = static_cast<std::size_t>(std::stoi(name.substr(1)) - kFirstPredefinedClass);
        if (index < std::size(kPredefinedClasses))
            return kPredefinedClasses[index];
    }
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(std::towupper(c));
    return name;
}

ControlTemplate ReadControl(TemplateReader& reader)
{
    reader.AlignToDoubleWord();
    ControlTemplate control{};
    control.style = reader.DoubleWord();
    control.exStyle = reader.DoubleWord();
    control.x = reader.Coordinate();
    control.y = reader.Coordinate();
    control.w = reader.Coordinate();
    control.h = reader.Coordinate();
    control.id = reader.Word();
    control.className = ClassName(reader.NameOrOrdinal());
    control.text = reader.NameOrOrdinal();
    reader.SkipCreationData();
    return control;
}

} // namespace

DialogTemplate LoadDialogTemplate(const char* name)
{
    const HMODULE program = GetModuleHandleA(nullptr);
    const HRSRC resource = FindResourceA(program, name, RT_DIALOG);
    if (resource == nullptr)
        throw std::runtime_error(std::string("no dialog template ") + name);
    TemplateReader reader(LockResource(LoadResource(program, resource)));

    DialogTemplate dialog{};
    dialog.style = reader.DoubleWord();
    dialog.exStyle = reader.DoubleWord();
    const WORD controlCount = reader.Word();
    dialog.x = reader.Coordinate();
    dialog.y = reader.Coordinate();
    dialog.w = reader.Coordinate();
    dialog.h = reader.Coordinate();
    dialog.menu = reader.NameOrOrdinal();
    dialog.className = reader.NameOrOrdinal();
    dialog.caption = reader.String();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.Word();
        dialog.font = reader.String();
    }
    for (WORD i = 0; i < controlCount; ++i)
        dialog.controls.push_back(ReadControl(reader));
    return dialog;
}
