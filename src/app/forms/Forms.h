#pragma once
// The forms of the program by name. Each form has at most one loaded instance; the
// program ends when the last loaded form unloads.
#include "app/forms/Form.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tw::Forms {

using Factory = std::function<std::unique_ptr<Form>()>;

// Makes `name` known. A name that is not registered shows nothing when asked for.
void Register(std::string name, Factory factory);
bool IsRegistered(std::string_view name);

// The loaded instance of `name`, or nullptr.
Form* Find(std::string_view name);
// The loaded instance of `name`, loading a new one when there is none (nullptr when the
// name is not registered).
Form* Load(std::string_view name);
// Loads and shows `name` modeless. Returns the form, or nullptr.
Form* Show(std::string_view name);
// Loads and shows `name` modal, owned by `owner`; returns when it has been unloaded.
void ShowModal(std::string_view name, Form* owner);

// Number of loaded forms.
int LoadedCount();

// Runs the message loop until the program ends; returns the exit code.
int RunMessageLoop();
// Deletes the objects of forms that have been unloaded. Only call it when no handler of
// a form is running (the message loop does so when it is idle).
void Collect();

// Takes a form object created outside the registry (for instance by a test) into the
// registry's keeping; it counts as loaded until it unloads.
Form* Adopt(std::unique_ptr<Form> form);
// Called by a form when it unloads: the object moves out of the loaded set.
void Unloaded(Form* form);

} // namespace tw::Forms
