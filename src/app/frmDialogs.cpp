namespace tw {
void RegisterDialogForms() {}
} // namespace tw
