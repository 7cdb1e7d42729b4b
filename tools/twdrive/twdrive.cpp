// twdrive: drives the windows of a running program from shell scripts. Every command
// first waits (bounded by --timeout) for the window named by --title, --title-prefix
// and/or --class (of process --pid when given), then acts on it. Exit code 0 on success,
// 1 when a window, control or message box is missing or a wait ran out, 2 on bad usage.
#include "DriveArgs.h"
#include "GuiDriver.h"

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace tw::gui;
using tw::drive::Args;

constexpr char kUsage[] =
    "usage: twdrive COMMAND [window options] [--timeout MS] ...\n"
    "window options: --title T  --title-prefix P  --class C  --pid N\n"
    "commands:\n"
    "  wait-window                      wait until the window is shown\n"
    "  wait-gone                        wait until the window is closed\n"
    "  controls                         names of the tagged controls\n"
    "  text [--control NAME]            text of the window or a control\n"
    "  enabled --control NAME           prints 1 or 0\n"
    "  font --control NAME              recorded font face\n"
    "  click --control NAME\n"
    "  press --control NAME             click, and wait until the program handled it\n"
    "  menu CAPTION... | menu A/B       choose a menu command by captions\n"
    "  menu-id ID                       post a menu command by id\n"
    "  menu-enabled CAPTION...          prints 1 or 0\n"
    "  answer-msgbox --button yes|no|ok|cancel|abort|retry|ignore [--print-text]\n"
    "  list --control NAME              items of a list box\n"
    "  combo --control NAME [--selected]\n"
    "  select --control NAME (--item TEXT | --index N)\n"
    "  choose --control NAME --item TEXT  select, and wait until the program handled it\n"
    "  check --control NAME --state on|off\n"
    "  type --control NAME TEXT         post characters to a control\n"
    "  keys KEY...                      into the window (or the foreground one):\n"
    "                                   tab enter esc f1 ... ctrl+r shift+tab alt+f\n"
    "  close                            ask the window to close\n"
    "  screenshot OUT.png [--window]    whole desktop, or just the window\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

int Fail(const std::string& what) {
    std::fprintf(stderr, "twdrive: %s\n", what.c_str());
    return 1;
}

void PrintLine(const std::string& s) {
    std::printf("%s\n", s.c_str());
}

DWORD Timeout(const Args& a) {
    auto t = a.Option("timeout");
    auto n = t ? tw::drive::Number(*t) : std::nullopt;
    return n ? static_cast<DWORD>(*n) : kDefaultTimeoutMs;
}

DWORD Pid(const Args& a) {
    auto p = a.Option("pid");
    auto n = p ? tw::drive::Number(*p) : std::nullopt;
    return n ? static_cast<DWORD>(*n) : 0;
}

std::optional<WindowPredicate> WindowMatch(const Args& a) {
    std::optional<WindowPredicate> pred;
    auto add = [&](WindowPredicate p) { pred = pred ? AllOf(*pred, std::move(p)) : std::move(p); };
    if (auto t = a.Option("title"))
        add(TitleIs(*t));
    if (auto t = a.Option("title-prefix"))
        add(TitleStartsWith(*t));
    if (auto c = a.Option("class"))
        add(ClassIs(*c));
    return pred;
}

std::optional<int> KeyCode(const std::string& name) {
    struct Named {
        const char* name;
        int vk;
    } static const keys[] = {{"tab", VK_TAB},     {"enter", VK_RETURN},  {"esc", VK_ESCAPE},
                             {"space", VK_SPACE}, {"up", VK_UP},         {"down", VK_DOWN},
                             {"left", VK_LEFT},   {"right", VK_RIGHT},   {"home", VK_HOME},
                             {"end", VK_END},     {"delete", VK_DELETE}, {"backspace", VK_BACK}};
    for (const auto& k : keys) {
        if (_stricmp(k.name, name.c_str()) == 0)
            return k.vk;
    }
    if (name.size() >= 2 && (name[0] == 'f' || name[0] == 'F')) {
        auto n = tw::drive::Number(name.substr(1));
        if (n && *n >= 1 && *n <= 12)
            return VK_F1 + static_cast<int>(*n) - 1;
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return std::toupper(static_cast<unsigned char>(name[0]));
    return std::nullopt;
}

bool SendNamedKey(const std::string& keyName) {
    bool ctrl = false, shift = false, alt = false;
    std::string rest = keyName;
    for (;;) {
        size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 == rest.size())
            break;
        std::string mod = rest.substr(0, plus);
        if (_stricmp(mod.c_str(), "ctrl") == 0)
            ctrl = true;
        else if (_stricmp(mod.c_str(), "shift") == 0)
            shift = true;
        else if (_stricmp(mod.c_str(), "alt") == 0)
            alt = true;
        else
            return false;
        rest = rest.substr(plus + 1);
    }
    auto vk = KeyCode(rest);
    return vk && SendKey(static_cast<WORD>(*vk), ctrl, shift, alt);
}

std::optional<int> ButtonId(const std::string& name) {
    struct Named {
        const char* name;
        int id;
    } static const buttons[] = {{"ok", IDOK},       {"cancel", IDCANCEL}, {"abort", IDABORT},
                                {"retry", IDRETRY}, {"ignore", IDIGNORE}, {"yes", IDYES},
                                {"no", IDNO}};
    for (const auto& b : buttons) {
        if (_stricmp(b.name, name.c_str()) == 0)
            return b.id;
    }
    return std::nullopt;
}

int AnswerBox(const Args& a) {
    auto name = a.Option("button");
    auto id = name ? ButtonId(*name) : std::nullopt;
    if (!id)
        return Usage();
    auto box = WaitForMessageBox(Pid(a), Timeout(a));
    if (!box)
        return Fail("no message box appeared");
    if (a.Flag("print-text")) {
        PrintLine(box->title);
        PrintLine(box->text);
    }
    if (!AnswerMessageBox(box->hwnd, *id))
        return Fail("the message box has no button " + *name);
    if (!WaitForWindowGone(box->hwnd, Timeout(a)))
        return Fail("the message box stayed open");
    return 0;
}

bool KnownCommand(const std::string& c) {
    static const char* const commands[] = {
        "wait-window", "wait-gone", "controls", "text",         "enabled",       "font",
        "click",       "menu",      "menu-id",  "menu-enabled", "answer-msgbox", "list",
        "combo",       "select",    "check",    "type",         "keys",          "close",
        "screenshot",  "press",     "choose"};
    for (const char* k : commands) {
        if (c == k)
            return true;
    }
    return false;
}

int Run(const Args& a) {
    if (!KnownCommand(a.command))
        return Usage();
    if (a.command == "answer-msgbox")
        return AnswerBox(a);
    if (a.command == "screenshot" && !a.Flag("window") && a.words.size() == 1)
        return SaveScreenshot(a.words[0]) ? 0 : Fail("cannot save " + a.words[0]);
    if (a.command == "keys") {
        if (auto match = WindowMatch(a)) {
            HWND top = WaitForWindow(Pid(a), *match, Timeout(a));
            if (!top || !Activate(top, Timeout(a)))
                return Fail("no such window to type into");
        }
        for (const auto& k : a.words) {
            if (!SendNamedKey(k))
                return Fail("cannot send key " + k);
            Sleep(50);
        }
        return 0;
    }

    auto match = WindowMatch(a);
    if (!match)
        return Usage();
    HWND top = WaitForWindow(Pid(a), *match, Timeout(a));
    if (!top)
        return Fail("no such window");
    if (a.command == "wait-window")
        return 0;
    if (a.command == "wait-gone")
        return WaitForWindowGone(top, Timeout(a)) ? 0 : Fail("the window stayed open");
    if (a.command == "controls") {
        for (const auto& n : ControlNames(top))
            PrintLine(n);
        return 0;
    }
    if (a.command == "close")
        return PostMessageW(top, WM_CLOSE, 0, 0) ? 0 : Fail("cannot close the window");
    if (a.command == "screenshot") {
        if (a.words.size() != 1)
            return Usage();
        return SaveScreenshot(a.words[0], top) ? 0 : Fail("cannot save " + a.words[0]);
    }
    if (a.command == "menu" || a.command == "menu-enabled") {
        auto path = tw::drive::MenuPath(a.words);
        if (path.empty())
            return Usage();
        if (a.command == "menu-enabled") {
            auto on = MenuItemEnabled(top, path);
            if (!on)
                return Fail("no such menu entry");
            PrintLine(*on ? "1" : "0");
            return 0;
        }
        return PostMenuCommand(top, path) ? 0 : Fail("no such menu command");
    }
    if (a.command == "menu-id") {
        auto id = a.words.size() == 1 ? tw::drive::Number(a.words[0]) : std::nullopt;
        if (!id)
            return Usage();
        return PostMenuCommand(top, static_cast<UINT>(*id)) ? 0 : Fail("cannot post");
    }

    HWND control = top;
    if (auto name = a.Option("control")) {
        control = WaitForControl(top, *name, Timeout(a));
        if (!control)
            return Fail("no control " + *name);
    } else if (a.command != "text") {
        return Usage();
    }

    if (a.command == "text") {
        PrintLine(WindowText(control));
    } else if (a.command == "enabled") {
        PrintLine(IsEnabled(control) ? "1" : "0");
    } else if (a.command == "font") {
        PrintLine(FontFace(control));
    } else if (a.command == "click") {
        if (!Click(control))
            return Fail("cannot click");
    } else if (a.command == "press") {
        if (!Press(control, Timeout(a)))
            return Fail("the click was not handled");
    } else if (a.command == "choose") {
        auto item = a.Option("item");
        if (!item)
            return Usage();
        if (!ChooseCombo(control, *item, Timeout(a)))
            return Fail("no such entry");
    } else if (a.command == "list") {
        for (const auto& s : ListItems(control))
            PrintLine(s);
    } else if (a.command == "combo") {
        auto items = ComboItems(control);
        int sel = ComboSelection(control);
        if (a.Flag("selected")) {
            if (sel >= 0 && static_cast<size_t>(sel) < items.size())
                PrintLine(items[static_cast<size_t>(sel)]);
        } else {
            for (const auto& s : items)
                PrintLine(s);
        }
    } else if (a.command == "select") {
        bool ok = false;
        if (auto item = a.Option("item"))
            ok = SelectCombo(control, *item);
        else if (auto index = a.Option("index"); index && tw::drive::Number(*index))
            ok = SelectCombo(control, static_cast<int>(*tw::drive::Number(*index)));
        else
            return Usage();
        if (!ok)
            return Fail("no such entry");
    } else if (a.command == "check") {
        auto state = a.Option("state");
        if (!state || (*state != "on" && *state != "off"))
            return Usage();
        if (!SetChecked(control, *state == "on", Timeout(a)))
            return Fail("cannot set the check box");
    } else if (a.command == "type") {
        if (a.words.size() != 1 || !PostChars(control, a.words[0]))
            return Usage();
    } else {
        return Usage();
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        std::vector<std::string> words(argv + 1, argv + argc);
        auto args = tw::drive::ParseArgs(words, {"print-text", "selected", "window"});
        if (!args)
            return Usage();
        int rc = Run(*args);
        std::fflush(stdout);
        return rc;
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}
