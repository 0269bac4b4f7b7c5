// The dialog templates as compiled into the program: every control's id, kind, style,
// position, size and text, and each dialog's caption, size and font.
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
struct ItemTemplate {
    DWORD dwStyle;
    short x, y, cx, cy;
    DWORD id;
    std::string strClass; // "#128" style for the predefined classes
    std::string strText;  // "#n" for a resource number
};

struct DialogTemplate {
    DWORD dwStyle = 0, dwExStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string strCaption;
    WORD nPointSize = 0;
    std::string strFont;
    std::vector<ItemTemplate> items;
};

// Reads the extended template's variable-length fields from a WORD cursor.
class CTemplateReader {
public:
    explicit CTemplateReader(const BYTE* pBytes) : m_p(pBytes) {}
    WORD Word() { WORD w; memcpy(&w, m_p, 2); m_p += 2; return w; }
    DWORD Dword() { DWORD d; memcpy(&d, m_p, 4); m_p += 4; return d; }
    short Short() { return static_cast<short>(Word()); }
    std::string SzOrOrd()
    {
        const WORD first = Word();
        if (first == 0)
            return std::string();
        if (first == 0xFFFF)
            return "#" + std::to_string(Word());
        std::wstring strWide(1, static_cast<wchar_t>(first));
        for (WORD w = Word(); w != 0; w = Word())
            strWide += static_cast<wchar_t>(w);
        return ToAnsi(strWide);
    }
    void AlignDword()
    {
        while ((reinterpret_cast<UINT_PTR>(m_p) & 3) != 0)
            ++m_p;
    }
    void Skip(size_t n) { m_p += n; }

private:
    static std::string ToAnsi(const std::wstring& strWide)
    {
        char szText[512] = "";
        WideCharToMultiByte(1252, 0, strWide.c_str(), -1, szText, sizeof szText, nullptr, nullptr);
        return szText;
    }
    const BYTE* m_p;
};

DialogTemplate LoadDialogTemplate(UINT nId)
{
    DialogTemplate dialog;
    HRSRC hResource = FindResourceA(nullptr, MAKEINTRESOURCEA(nId), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    EXPECT_NE(hResource, nullptr) << nId;
    if (hResource == nullptr)
        return dialog;
    CTemplateReader reader(static_cast<const BYTE*>(LockResource(LoadResource(nullptr, hResource))));
    EXPECT_EQ(reader.Word(), 1);      // dlgVer
    EXPECT_EQ(reader.Word(), 0xFFFF); // an extended template
    reader.Dword();                   // help id
    dialog.dwExStyle = reader.Dword();
    dialog.dwStyle = reader.Dword();
    const WORD nItems = reader.Word();
    dialog.x = reader.Short();
    dialog.y = reader.Short();
    dialog.cx = reader.Short();
    dialog.cy = reader.Short();
    EXPECT_EQ(reader.SzOrOrd(), ""); // no menu
    EXPECT_EQ(reader.SzOrOrd(), ""); // the system's dialog class
    dialog.strCaption = reader.SzOrOrd();
    if ((dialog.dwStyle & DS_SETFONT) != 0) {
        dialog.nPointSize = reader.Word();
        reader.Word(); // weight
        reader.Skip(2); // italic, charset
        dialog.strFont = reader.SzOrOrd();
    }
    for (WORD i = 0; i < nItems; ++i) {
        reader.AlignDword();
        ItemTemplate item;
        reader.Dword(); // help id
        reader.Dword(); // extended style
        item.dwStyle = reader.Dword();
        item.x = reader.Short();
        item.y = reader.Short();
        item.cx = reader.Short();
        item.cy = reader.Short();
        item.id = reader.Dword();
        item.strClass = reader.SzOrOrd();
        item.strText = reader.SzOrOrd();
        reader.Skip(reader.Word());
        dialog.items.push_back(item);
    }
    return dialog;
}

constexpr const char* kButton = "BUTTON";
constexpr const char* kEdit = "EDIT";
constexpr const char* kStatic = "STATIC";
constexpr DWORD kNoId = static_cast<DWORD>(-1);

// Window classes compare without case; the predefined ones may come as numbers.
std::string ClassName(std::string strClass)
{
    if (strClass == "#128")
        return kButton;
    if (strClass == "#129")
        return kEdit;
    if (strClass == "#130")
        return kStatic;
    for (char& ch : strClass)
        ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    return strClass;
}

void ExpectItem(const ItemTemplate& item, DWORD id, const char* pszClass, const char* pszText, short x, short y,
                short cx, short cy)
{
    SCOPED_TRACE("control " + std::to_string(static_cast<int>(id)));
    EXPECT_EQ(item.id, id);
    EXPECT_EQ(ClassName(item.strClass), ClassName(pszClass));
    EXPECT_EQ(item.strText, pszText);
    EXPECT_EQ(item.x, x);
    EXPECT_EQ(item.y, y);
    EXPECT_EQ(item.cx, cx);
    EXPECT_EQ(item.cy, cy);
    EXPECT_NE(item.dwStyle & WS_CHILD, 0u);
}

void ExpectFont(const DialogTemplate& dialog)
{
    EXPECT_EQ(dialog.nPointSize, 8);
    EXPECT_EQ(dialog.strFont, "MS Sans Serif");
}
} // namespace

TEST(DialogTemplates, MainDialog102)
{
    const DialogTemplate dialog = LoadDialogTemplate(IDD_SETUP);
    EXPECT_EQ(dialog.strCaption, "Tallowin");
    EXPECT_EQ(dialog.cx, 294);
    EXPECT_EQ(dialog.cy, 165);
    ExpectFont(dialog);
    EXPECT_EQ(dialog.dwStyle & (WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_VISIBLE),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_VISIBLE));
    EXPECT_EQ(dialog.dwStyle & WS_SYSMENU, 0u);
    EXPECT_NE(dialog.dwExStyle & WS_EX_APPWINDOW, 0u);
    ASSERT_EQ(dialog.items.size(), 7u);
    ExpectItem(dialog.items[0], 1000, "msctls_progress32", "Progress1", 14, 110, 265, 14);
    EXPECT_EQ(dialog.items[0].dwStyle & WS_VISIBLE, 0u);
    ExpectItem(dialog.items[1], 1014, kButton, "Installiere", 225, 128, 54, 14);
    EXPECT_EQ(dialog.items[1].dwStyle & 0xF, static_cast<DWORD>(BS_PUSHBUTTON));
    ExpectItem(dialog.items[2], IDCANCEL, kButton, "", 225, 145, 54, 14);
    ExpectItem(dialog.items[3], 1019, kStatic, "#137", 4, 138, 46, 21);
    EXPECT_EQ(dialog.items[3].dwStyle & SS_TYPEMASK, static_cast<DWORD>(SS_BITMAP));
    ExpectItem(dialog.items[4], 1020, kStatic, "Lumidrop Setup", 53, 141, 166, 9);
    ExpectItem(dialog.items[5], 1016, kStatic, "", 4, 11, 275, 90);
    EXPECT_EQ(dialog.items[5].dwStyle & SS_TYPEMASK, static_cast<DWORD>(SS_GRAYRECT));
    EXPECT_EQ(dialog.items[5].dwStyle & WS_VISIBLE, 0u);
    ExpectItem(dialog.items[6], 1021, kStatic, "www.lumidrop.example", 85, 151, 100, 8);
}

TEST(DialogTemplates, DiskPrompt129)
{
    const DialogTemplate dialog = LoadDialogTemplate(IDD_DISK_PROMPT);
    EXPECT_EQ(dialog.strCaption, "Tallowin");
    ExpectFont(dialog);
    ASSERT_EQ(dialog.items.size(), 6u);
    EXPECT_EQ(ClassName(dialog.items[0].strClass), kStatic);
    EXPECT_EQ(dialog.items[0].strText, "#130");
    EXPECT_EQ(dialog.items[0].dwStyle & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ(dialog.items[1].id, 1005u);
    EXPECT_EQ(ClassName(dialog.items[1].strClass), kStatic);
    EXPECT_EQ(dialog.items[1].strText, "Please insert the next disc.");
    EXPECT_EQ(dialog.items[2].id, 1006u);
    EXPECT_EQ(ClassName(dialog.items[2].strClass), kEdit);
    EXPECT_NE(dialog.items[2].dwStyle & WS_BORDER, 0u);
    EXPECT_NE(dialog.items[2].dwStyle & ES_AUTOHSCROLL, 0u);
    EXPECT_EQ(dialog.items[3].id, static_cast<DWORD>(IDOK));
    EXPECT_EQ(dialog.items[3].dwStyle & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(dialog.items[4].id, 1004u);
    EXPECT_EQ(dialog.items[4].strText, "Browse...");
    EXPECT_EQ(dialog.items[5].id, static_cast<DWORD>(IDCANCEL));
}

TEST(DialogTemplates, DestinationPage135)
{
    const DialogTemplate dialog = LoadDialogTemplate(IDD_DESTINATION_PAGE);
    EXPECT_EQ(dialog.cx, 275);
    EXPECT_EQ(dialog.cy, 90);
    EXPECT_EQ(dialog.strCaption, "");
    ExpectFont(dialog);
    EXPECT_EQ(dialog.dwStyle & (WS_CHILD | WS_POPUP | WS_CAPTION | WS_VISIBLE), static_cast<DWORD>(WS_CHILD));
    ASSERT_EQ(dialog.items.size(), 6u);
    ExpectItem(dialog.items[0], 1013, kStatic, "Verzeichnis:", 10, 28, 58, 8);
    ExpectItem(dialog.items[1], 1004, kButton, "...", 207, 40, 68, 14);
    ExpectItem(dialog.items[2], 1001, kStatic, "", 10, 60, 265, 25);
    ExpectItem(dialog.items[3], 1012, kEdit, "", 10, 40, 190, 14);
    EXPECT_EQ(dialog.items[3].dwStyle & (WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL),
              static_cast<DWORD>(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL));
    ExpectItem(dialog.items[4], 1010, kStatic, "", 32, 0, 243, 20);
    ExpectItem(dialog.items[5], kNoId, kStatic, "#128", 0, 0, 20, 20);
    EXPECT_EQ(dialog.items[5].dwStyle & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
}

TEST(DialogTemplates, FinishPage136)
{
    const DialogTemplate dialog = LoadDialogTemplate(IDD_FINISH_PAGE);
    EXPECT_EQ(dialog.cx, 275);
    EXPECT_EQ(dialog.cy, 90);
    ExpectFont(dialog);
    EXPECT_EQ(dialog.dwStyle & (WS_CHILD | WS_POPUP | WS_CAPTION), static_cast<DWORD>(WS_CHILD));
    ASSERT_EQ(dialog.items.size(), 4u);
    ExpectItem(dialog.items[0], 1017, kButton, "Reboot", 10, 42, 213, 10);
    ExpectItem(dialog.items[1], 1018, kButton, "ScrProp", 10, 57, 213, 10);
    for (int i : {0, 1}) {
        EXPECT_EQ(dialog.items[i].dwStyle & 0xF, static_cast<DWORD>(BS_AUTOCHECKBOX));
        EXPECT_NE(dialog.items[i].dwStyle & WS_TABSTOP, 0u);
    }
    ExpectItem(dialog.items[2], 1001, kStatic, "", 32, 0, 243, 20);
    ExpectItem(dialog.items[3], kNoId, kStatic, "#128", 0, 0, 21, 20);
}

TEST(DialogTemplates, PicturesExist)
{
    EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(IDI_SETUP), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */), nullptr);
    EXPECT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(IDI_DISK_PROMPT), MAKEINTRESOURCEA(14)), nullptr);
    // Read from the resource itself: loading it as a bitmap would need a display.
    HRSRC hBitmap = FindResourceA(nullptr, MAKEINTRESOURCEA(IDB_MAKER), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    ASSERT_NE(hBitmap, nullptr);
    BITMAPINFOHEADER info;
    memcpy(&info, LockResource(LoadResource(nullptr, hBitmap)), sizeof info);
    EXPECT_EQ(info.biWidth, 69);
    EXPECT_EQ(info.biHeight, 34);
}
