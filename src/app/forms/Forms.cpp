#include "app/forms/Forms.h"

#include <algorithm>
#include <map>
#include <vector>

namespace tw::Forms {

namespace {

std::map<std::string, Factory, std::less<>>& Factories() {
    static std::map<std::string, Factory, std::less<>> factories;
    return factories;
}
// Forms that are loaded (or loading), in load order.
std::vector<std::unique_ptr<Form>>& LoadedForms() {
    static std::vector<std::unique_ptr<Form>> forms;
    return forms;
}
// Forms that have unloaded; deleted when no handler of theirs can be running.
std::vector<std::unique_ptr<Form>>& Graveyard() {
    static std::vector<std::unique_ptr<Form>> forms;
    return forms;
}

} // namespace

void Register(std::string name, Factory factory) {
    Factories()[std::move(name)] = std::move(factory);
}

bool IsRegistered(std::string_view name) {
    return Factories().find(name) != Factories().end();
}

Form* Find(std::string_view name) {
    for (auto& f : LoadedForms())
        if (f->Name() == name)
            return f.get();
    return nullptr;
}

Form* Adopt(std::unique_ptr<Form> form) {
    Form* raw = form.get();
    if (raw)
        LoadedForms().push_back(std::move(form));
    return raw;
}

Form* Load(std::string_view name) {
    if (Form* f = Find(name))
        return f;
    auto it = Factories().find(name);
    if (it == Factories().end())
        return nullptr;
    std::unique_ptr<Form> made = it->second();
    if (!made)
        return nullptr;
    Form* form = Adopt(std::move(made));
    form->Load();
    if (!form->Loaded()) {
        Unloaded(form); // its window could not be made
        return nullptr;
    }
    // Form_Load may have unloaded it again
    return Find(name) == form ? form : nullptr;
}

Form* Show(std::string_view name) {
    Form* form = Load(name);
    if (form)
        form->Show();
    return form;
}

void ShowModal(std::string_view name, Form* owner) {
    if (Form* form = Load(name))
        form->ShowModal(owner);
}

int LoadedCount() {
    return static_cast<int>(LoadedForms().size());
}

void Unloaded(Form* form) {
    auto& loaded = LoadedForms();
    auto it = std::find_if(loaded.begin(), loaded.end(),
                           [form](const std::unique_ptr<Form>& f) { return f.get() == form; });
    if (it == loaded.end())
        return;
    Graveyard().push_back(std::move(*it));
    loaded.erase(it);
    if (loaded.empty())
        PostQuitMessage(0); // the last form has gone: the program ends
}

void Collect() {
    Graveyard().clear();
}

int RunMessageLoop() {
    MSG msg;
    for (;;) {
        Collect();
        BOOL r = GetMessageA(&msg, nullptr, 0, 0);
        if (r == 0 || r == -1)
            break;
        if (!Form::PreTranslate(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    Collect();
    return static_cast<int>(msg.wParam);
}

} // namespace tw::Forms
