// A handler bound to a name the window does not have fails as the window is built.
#include "app/forms/Form.h"

#include <gtest/gtest.h>

namespace {

using tw::Kind;

const tw::ControlSpec kControls[] = {
    {"cmdGo", Kind::Button, 0, 0, 100, 100},
    {"lstLines", Kind::ListBox, 0, 0, 100, 100},
    {"fraSide", Kind::Frame, 0, 0, 100, 100},
    {"Timer1", Kind::Timer, 0, 0, 0, 0},
};
const tw::MenuSpec kMenus[] = {
    {"mnuFile", 0, nullptr, "File"},
    {"mnuFileExit", 1, nullptr, "Exit"},
    {"mnuFileBar", 1, nullptr, "-"},
};
const tw::FormSpec kSpec{"frmBind", "", 100, 100, kControls, kMenus};

TEST(HandlerName, OnlyEventsTheTableRaisesCanBeBound) {
    const struct {
        const char* event;
        bool valid;
    } cases[] = {
        {"cmdGo_Click", true},       {"lstLines_Click", true},    {"lstLines_DblClick", true},
        {"Timer1_Timer", true},      {"mnuFileExit_Click", true}, {"cmdGoo_Click", false},
        {"cmdGo_DblClick", false},   {"cmdGo_Timer", false},      {"fraSide_Click", false},
        {"mnuFileBar_Click", false}, {"mnuFileExt_Click", false}, {"cmdGo", false},
        {"Timer1_Click", false},     {"_Click", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.event);
        tw::Form form(kSpec);
        if (c.valid) {
            EXPECT_NO_THROW(form.On(c.event, [] {}));
            continue;
        }
        try {
            form.On(c.event, [] {});
            ADD_FAILURE() << "bound without complaint";
        } catch (const tw::HandlerNameError& e) {
            EXPECT_NE(std::string(e.what()).find(std::string("frmBind: the handler ") + c.event),
                      std::string::npos)
                << e.what();
        }
    }
}

} // namespace
