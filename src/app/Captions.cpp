#include "app/Captions.h"

#include "app/Version.h"
#include "app/forms/Forms.h"
#include "core/Text.h"

namespace tw {

void SetCaptions(Form& form) {
    const FormSpec& spec = form.Spec();
    if (spec.captionId) {
        std::string text = LookupText(spec.captionId);
        if (spec.captionWithVersion)
            text += " " + VersionText();
        if (spec.captionSuffixId)
            text += " " + LookupText(spec.captionSuffixId);
        form.SetFormCaption(text);
    }
    for (const ControlSpec& c : spec.controls) {
        if (!c.captionId)
            continue;
        // an empty id clears the design caption
        std::string text = *c.captionId ? LookupText(c.captionId) : std::string();
        if (c.flags & kWithVersion)
            text += " " + VersionText();
        form.SetCaption(c.name, text);
    }
    for (const MenuSpec& m : spec.menus)
        if (m.captionId)
            form.SetCaption(m.name, LookupText(m.captionId));
}

void CaptionForm(std::string_view name) {
    if (Form* form = Forms::Find(name))
        SetCaptions(*form);
}

} // namespace tw
