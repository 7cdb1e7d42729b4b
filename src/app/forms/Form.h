#pragma once
// The forms layer: every window of the program is described once by a table of its
// controls and menus, created from that table, and reached by control name.
#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

enum class Kind { Button, Label, ListBox, ComboBox, CheckBox, OptionButton, Frame, Image, Timer };

// Background colours of the coloured list boxes and labels.
enum class Colour { None, Green, Red, Blue, LightBlue };

enum ControlFlags : unsigned {
    kHidden = 1u,       // created invisible (lblfIdentify); a hidden list box is a working
                        // list that is filled and read like any other but never shown
    kDefault = 2u,      // the default button: Enter clicks it
    kGroup = 4u,        // the first option button of a group of its own
    kWithVersion = 8u,  // the caption text is followed by " major.minor"
    kLink = 16u,        // a label drawn and clicked like a link
    kMultiSelect = 32u, // a list box whose entries are selected each on its own (click or
                        // Space toggles the entry with the focus)
};

struct ControlSpec {
    const char* name;
    Kind kind;
    int left, top, width, height;    // twips
    const char* captionId = nullptr; // language id; nullptr: the captions leave it alone
    const char* caption = "";        // design caption
    Colour colour = Colour::None;
    unsigned flags = 0;
    // The frame that holds the control: its left and top are then counted from the
    // frame's top-left corner, and hiding the frame hides it too.
    const char* frame = nullptr;
};

// One menu entry. Level 0 is a menu of the menu bar, level 1 an entry of it, level 2 an
// entry of a submenu. An entry followed by deeper entries is a submenu; "-" a separator.
struct MenuSpec {
    const char* name;
    int level;
    const char* captionId;
    const char* caption;
    const char* shortcut = nullptr; // "Ctrl+R", "F1"
};

enum class Border {
    Fixed,  // main windows: title bar, system menu, minimize box
    Dialog, // fixed dialog frame; Esc closes it
    None,   // no frame (the splash)
};

struct FormSpec {
    const char* name;
    const char* caption; // design caption
    int width, height;   // client area in twips
    std::span<const ControlSpec> controls;
    std::span<const MenuSpec> menus = {};
    Border border = Border::Dialog;
    const char* captionId = nullptr;       // form caption from the language; nullptr: kept
    bool captionWithVersion = false;       // ... followed by " major.minor"
    const char* captionSuffixId = nullptr; // ... then a space and this text
};

// Twips to pixels at `dpi` dots per inch.
inline int TwipsToPixels(int twips, int dpi) {
    return MulDiv(twips, dpi, 1440);
}

// A handler bound to a name that the window's control and menu table does not have, or
// to an event that such a control never raises.
class HandlerNameError : public std::logic_error {
  public:
    using std::logic_error::logic_error;
};

class Form {
  public:
    using Handler = std::function<void()>;

    explicit Form(const FormSpec& layout);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    const std::string& Name() const noexcept { return name_; }
    const FormSpec& Table() const noexcept { return spec_; }
    HWND hwnd() const noexcept { return hwnd_; }
    bool Loaded() const noexcept { return hwnd_ != nullptr; }

    // Creates the window and its controls hidden, then runs Form_Initialize and
    // Form_Load. Does nothing when the form is loaded already.
    void Load();
    // Shows the form modeless (loading it first).
    void Show();
    // Shows the form modal, owned by `owner` (disabled meanwhile); returns when the
    // form has been unloaded.
    void ShowModal(Form* owner);
    // Runs Form_Unload, re-enables a modal owner and destroys the window. The object
    // itself stays alive until the message loop is idle again.
    void Unload();

    // Controls by name. Control() gives nullptr for an unknown name or a timer.
    HWND Control(std::string_view name) const;
    const ControlSpec* ControlSpecOf(std::string_view name) const;
    std::string Caption(std::string_view name) const; // control or menu entry
    void SetCaption(std::string_view name, const std::string& text);
    std::string FormCaption() const;
    void SetFormCaption(const std::string& text);

    // Check boxes and option buttons: 0 or 1. Setting a new value raises the Click event,
    // and selecting an option button clears the others of its group.
    int Value(std::string_view name) const;
    void SetValue(std::string_view name, int value);

    bool Enabled(std::string_view name) const; // control or menu entry
    void SetEnabled(std::string_view name, bool enabled);
    // Hiding a frame hides the controls it holds as well; showing it shows them again,
    // except those that the table makes hidden.
    void SetVisible(std::string_view name, bool visible);

    // List and combo boxes.
    void AddItem(std::string_view name, const std::string& text);
    void ClearList(std::string_view name);
    int ListCount(std::string_view name) const;
    int ListIndex(std::string_view name) const;          // -1: nothing selected
    void SetListIndex(std::string_view name, int index); // raises Click on a change
    std::string List(std::string_view name, int index) const;
    std::string Text(std::string_view name) const; // the selected entry's text
    void RemoveItem(std::string_view name, int index);
    // Entries of a list box made with kMultiSelect, each selected on its own. Setting
    // them raises no event.
    bool Selected(std::string_view name, int index) const;
    void SetSelected(std::string_view name, int index, bool selected);
    void SelectAll(std::string_view name, bool selected); // every entry on or off
    // How far a list box scrolls sideways, in pixels (0: not at all).
    void SetHorizontalExtent(std::string_view name, int pixels);

    void SetPicture(std::string_view name, HBITMAP bitmap); // image control; not owned
    // Timers: the interval in ms, 0 or disabled stops it.
    void SetTimer(std::string_view name, UINT interval, bool enabled);

    // Event handlers by event name: "cmdOK_Click", "Timer1_Timer", "lstDetail_DblClick".
    // Throws HandlerNameError when the table has no control or menu entry of that name,
    // or the control never raises that event, so a misspelt name fails as the window is
    // built instead of never firing.
    void On(std::string event, Handler handler);
    // Runs the handler of `event` if there is one.
    void Raise(const std::string& event);

    // Gives the form and every control with a font the face `face`, keeping size,
    // weight and style. The fonts it replaces are freed.
    void SetFontFace(const std::string& face);
    // Face of the font of a control ("" for the form itself).
    std::string FontFace(std::string_view name = {}) const;
    // The font of the form, which measures text as its controls show it.
    HFONT Font() const noexcept { return font_; }

    // The form of one of our top-level windows, or nullptr.
    static Form* FromHwnd(HWND hwnd);
    // Accelerators and dialog keys for a message of the loop; true when handled.
    static bool PreTranslate(MSG& msg);

  protected:
    virtual void Form_Load() {}
    virtual void Form_Unload() {}

  private:
    struct Entry {
        std::string name;
        HMENU parent = nullptr;
        int position = 0;
        UINT id = 0; // 0 for submenus and separators
        std::string shortcut;
    };

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void CreateMenus();
    int IndexOf(std::string_view name) const;
    bool IsCombo(std::string_view name) const;
    void CheckHandlerName(const std::string& event) const;
    const Entry* MenuEntry(std::string_view name) const;
    void OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnColour(HDC dc, HWND control, UINT msg, WPARAM wParam, LPARAM lParam);
    void Destroy();

    const FormSpec& spec_;
    std::string name_;
    HWND hwnd_ = nullptr;
    HWND modalOwner_ = nullptr;
    HWND lastFocus_ = nullptr;
    HACCEL accel_ = nullptr;
    HFONT font_ = nullptr; // the form's own font (not owned: see fonts_)
    HMENU menuBar_ = nullptr;
    bool unloading_ = false;
    bool destroying_ = false;    // the object itself is being deleted
    std::vector<HWND> controls_; // parallel to spec_.controls; nullptr for timers
    std::vector<Entry> entries_;
    std::map<std::string, Handler, std::less<>> handlers_;
    std::vector<HFONT> fonts_;      // owned, each in use by the form or a control
    std::map<int, HBRUSH> brushes_; // owned, by Colour
};

} // namespace tw
