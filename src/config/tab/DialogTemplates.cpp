#include "config/tab/DialogTemplates.h"

#include "os/Dialogs.h"

namespace products::pastrix::config::tab::templates {

namespace {

using os::ControlKind;
using os::NoControlId;
namespace cs = os::cs;
namespace ds = os::ds;

}  // namespace

const os::DialogTemplate& pxtab::dialogTemplate() {
    static const os::DialogTemplate page{
        pxtab::Dialog,
        "Pastrix",
        200,
        201,
        ds::Page,
        "MS Shell Dlg",
        8,
        {
            {NoControlId, ControlKind::GroupBox, "Pastrix settings", 7, 7, 183, 188, 0, ""},
            {pxtab::Enabled, ControlKind::CheckBox, "Enabled", 15, 20, 42, 10, 0,
             "Select this to enable Pastrix."},
            {pxtab::UseToolTip, ControlKind::CheckBox, "Show tooltip during copy/paste", 15, 35,
             114, 10, 0,
             "Select this if you want a helper tooltip to appear when you copy or paste. "},
            {pxtab::FilterLabel, ControlKind::Label, "Do not use these keys as clipboard slots", 15,
             55, 128, 8, 0, ""},
            {pxtab::FilterList, ControlKind::ListView, "", 15, 65, 99, 86, cs::Border,
             "These keys will not be used as clipboard slots."},
            {pxtab::KeyBox, ControlKind::Edit, "", 130, 65, 50, 14,
             cs::MultiLine | cs::AutoHScroll | cs::Border,
             "Enter the key you would like to filter away and press the \"Add\" button below."},
            {pxtab::Add, ControlKind::PushButton, "Add", 130, 85, 50, 14, 0,
             "When you have entered a key in the edit box, press this button to add it."},
            {pxtab::LimitLabel, ControlKind::Label, "Only save clipboards with size less than", 15,
             165, 125, 8, 0, ""},
            {pxtab::Limits, ControlKind::DropDownList, "", 15, 175, 97, 57, cs::VScroll,
             "Only clipboard slots with a size smaller than specified will be saved to disk."},
            {pxtab::Clipboards, ControlKind::DefaultPushButton, "Clipboards", 130, 175, 50, 14, 0,
             "Press here to show a list of all clipboard slots in use."},
        },
    };
    return page;
}

const os::DialogTemplate& viewclipboards::dialogTemplate() {
    // The caption is the open workspace's name once the dialog shows.
    static const os::DialogTemplate dialog{
        viewclipboards::Dialog,
        "Clipboards",
        422,
        169,
        ds::Caption | ds::SystemMenu | ds::Resizable,
        "MS Shell Dlg",
        8,
        {
            {viewclipboards::List, ControlKind::ListView, "", 0, 0, 422, 169, cs::Border, ""},
        },
    };
    return dialog;
}

const os::DialogTemplate& about::dialogTemplate() {
    static const os::DialogTemplate page{
        about::Dialog,
        "About",
        200,
        201,
        ds::Page,
        "MS Shell Dlg",
        8,
        {
            {NoControlId, ControlKind::GroupBox, "About Pastrix", 7, 7, 183, 188, 0, ""},
            {about::Title, ControlKind::Label, "Title", 15, 22, 168, 10, 0, ""},
            {about::Description, ControlKind::Label,
             "Pastrix gives every key of your keyboard a clipboard of its own. Hold Ctrl and "
             "tap a key twice to copy the selection into the key's slot, or once to paste "
             "from it. Cool Keys replace the abbreviations you type with their texts.\n\n"
             "Press the \"Help\" button to open the manual.",
             15, 40, 168, 96, 0, ""},
            {about::Homepage, ControlKind::Label, "Click here to visit our homepage", 15, 150, 168,
             8, cs::Notify, ""},
            {about::Question, ControlKind::Label, "Click here to ask us a question", 15, 166, 168,
             8, cs::Notify, ""},
        },
    };
    return page;
}

const os::DialogTemplate& cctab::dialogTemplate() {
    static const os::DialogTemplate page{
        cctab::Dialog,
        "Cool Keys",
        200,
        201,
        ds::Page,
        "MS Shell Dlg",
        8,
        {
            {cctab::Enabled, ControlKind::CheckBox, "Enabled", 15, 20, 42, 10, 0,
             "Select this to enable Cool Keys."},
            {cctab::List, ControlKind::ListView, "", 15, 50, 165, 115, cs::Border,
             "This list shows all abbreviations and their associated text for the active "
             "workspace."},
            {cctab::Add, ControlKind::PushButton, "Add", 130, 175, 50, 14, 0,
             "Press this key to add a new Cool Key."},
            {NoControlId, ControlKind::GroupBox, "Cool Keys Settings", 7, 7, 183, 188, 0, ""},
            {cctab::Hint, ControlKind::Label, "Double click to edit an existing Cool Key.", 15, 40,
             129, 8, 0, ""},
        },
    };
    return page;
}

const os::DialogTemplate& abbreviation::dialogTemplate() {
    // The text box takes Enter (with or without Shift or Ctrl) as a line break: texts of
    // several lines are typed as they are. OK is clicked, or reached with Tab.
    static const os::DialogTemplate dialog{
        abbreviation::Dialog,
        "Abbreviation",
        198,
        159,
        ds::Caption | ds::SystemMenu,
        "MS Shell Dlg",
        8,
        {
            {abbreviation::Abbreviation, ControlKind::Edit, "", 6, 18, 186, 14,
             cs::AutoHScroll | cs::Border, ""},
            {abbreviation::Text, ControlKind::Edit, "", 7, 51, 184, 80,
             cs::MultiLine | cs::WantReturn | cs::VScroll | cs::AutoHScroll | cs::AutoVScroll |
                 cs::Border,
             ""},
            {os::id::Ok, ControlKind::DefaultPushButton, "OK", 141, 138, 50, 14, 0, ""},
            {os::id::Cancel, ControlKind::PushButton, "Cancel", 65, 138, 50, 14, 0, ""},
            {NoControlId, ControlKind::Label, "Abbreviation", 6, 6, 141, 8, 0, ""},
            {NoControlId, ControlKind::Label, "Associated text", 6, 42, 184, 8, 0, ""},
        },
    };
    return dialog;
}

const os::DialogTemplate& newsletter::dialogTemplate() {
    static const os::DialogTemplate dialog{
        newsletter::Dialog,
        "Please sign up for the newsletter",
        272,
        89,
        ds::Caption | ds::SystemMenu,
        "MS Shell Dlg",
        8,
        {
            {newsletter::Signup, ControlKind::DefaultPushButton, "Signup", 161, 68, 50, 14, 0, ""},
            {newsletter::Skip, ControlKind::PushButton, "Skip", 215, 68, 50, 14, 0, ""},
            {newsletter::Picture, ControlKind::Picture, newsletter::BitmapResource, 7, 7, 56, 56, 0,
             ""},
            {newsletter::EmailAddress, ControlKind::Edit, "", 70, 48, 195, 14,
             cs::AutoHScroll | cs::Border, ""},
            {NoControlId, ControlKind::Label,
             "Please sign up for the newsletter. We will let you know about new releases of the "
             "software. It is optional to sign up.",
             70, 7, 195, 26, 0, ""},
            {NoControlId, ControlKind::Label, "Your e-mail address:", 70, 37, 195, 8, 0, ""},
        },
    };
    return dialog;
}

const os::DialogTemplate& sheet::dialogTemplate() {
    static const os::DialogTemplate frame{
        sheet::Dialog,
        "Pastrix",
        212,
        236,
        ds::Caption,
        "MS Shell Dlg",
        8,
        {
            {sheet::Ok, ControlKind::DefaultPushButton, "OK", 48, 218, 50, 14, 0, ""},
            {sheet::Cancel, ControlKind::PushButton, "Cancel", 102, 218, 50, 14, 0, ""},
            {sheet::Help, ControlKind::PushButton, "Help", 156, 218, 50, 14, 0, ""},
        },
    };
    return frame;
}

const os::DialogTemplate& system::dialogTemplate() {
    static const os::DialogTemplate page{
        system::Dialog,
        "System",
        200,
        201,
        ds::Page,
        "MS Shell Dlg",
        8,
        {
            {system::StartAutomatically, ControlKind::CheckBox, "Start automatically after reboot",
             15, 20, 150, 10, 0,
             "Select to make this application start automatically after reboot."},
            {system::Enabled, ControlKind::CheckBox, "Enabled", 15, 35, 42, 10, 0,
             "Select this to active both Pastrix and Cool Keys."},
            {system::Workspaces, ControlKind::DropDownList, "", 15, 65, 108, 80,
             cs::Sorted | cs::VScroll, "Select a workspace."},
            {system::CreateWorkspace, ControlKind::PushButton, "Create new..", 130, 65, 50, 14, 0,
             "Press here to create a new workspace."},
            {system::DeleteWorkspace, ControlKind::PushButton, "Delete..", 130, 83, 50, 14, 0,
             "Press here to delete the current active workspace."},
            {NoControlId, ControlKind::GroupBox, "System Settings", 7, 7, 183, 188, 0, ""},
            {NoControlId, ControlKind::Label, "Active workspace", 15, 55, 100, 8, 0, ""},
            {NoControlId, ControlKind::Label,
             "In order to use this software you must be aware of its user interface. Please "
             "have a look in chapter 6 \"User Interface - how to copy and paste\". A good start "
             "is to try the examples you find there. Press the \"Help\" button to open the "
             "manual.",
             15, 110, 165, 72, 0, ""},
        },
    };
    return page;
}

const os::DialogTemplate& newworkspace::dialogTemplate() {
    static const os::DialogTemplate dialog{
        newworkspace::Dialog,
        "Create new workspace",
        186,
        66,
        ds::Caption | ds::SystemMenu,
        "MS Shell Dlg",
        8,
        {
            {newworkspace::Name, ControlKind::Edit, "", 7, 20, 172, 14,
             cs::AutoHScroll | cs::Border, ""},
            {os::id::Cancel, ControlKind::PushButton, "Cancel", 75, 45, 50, 14, 0, ""},
            {os::id::Ok, ControlKind::DefaultPushButton, "OK", 129, 45, 50, 14, 0, ""},
            {NoControlId, ControlKind::Label, "Enter the new workspace name", 7, 8, 172, 8, 0, ""},
        },
    };
    return dialog;
}

}  // namespace products::pastrix::config::tab::templates
