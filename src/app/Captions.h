#pragma once
// The caption procedure of every form: each caption of the form's table is set to the
// language text of its id, in table order.
#include "app/forms/Form.h"

#include <string_view>

namespace tw {

void SetCaptions(Form& form);

// Runs the caption procedure of the loaded form `name`; a form that is not loaded keeps
// its captions until it is loaded again (it sets them then).
void CaptionForm(std::string_view name);

} // namespace tw
