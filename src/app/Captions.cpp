#include "app/Captions.h"

#include "app/Version.h"
#include "app/forms/Forms.h"
#include "core/Text.h"

namespace tw {

void SetCaptions(Form& form) {
    const FormSpec& layout = form.Table();
    if (layout.captionId) {
        std::string text = LookupText(layout.captionId);
        if (layout.captionWithVersion)
            text += " " + VersionText();
        if (layout.captionSuffixId)
            text += " " + LookupText(layout.captionSuffixId);
        form.SetFormCaption(text);
    }
    for (const ControlSpec& c : layout.controls) {
        if (!c.captionId)
            continue;
        // an empty id clears the design caption
        std::string text = *c.captionId ? LookupText(c.captionId) : std::string();
        if (c.flags & kWithVersion)
            text += " " + VersionText();
        form.SetCaption(c.name, text);
    }
    for (const MenuSpec& m : layout.menus)
        if (m.captionId)
            form.SetCaption(m.name, LookupText(m.captionId));
}

void CaptionForm(std::string_view name) {
    if (Form* form = Forms::Find(name))
        SetCaptions(*form);
}

} // namespace tw
