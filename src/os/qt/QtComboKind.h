#pragma once

#include "os/Errors.h"
#include "os/qt/QtControlKind.h"

#include <string>

class QComboBox;

namespace os::qt {

// A drop-down list whose entries can only be picked. Its text is the selected entry; the
// template's height is the height of the opened list.
class QtComboKind final : public QtControlKind {
public:
    QWidget* make(const ControlTemplate& item, const Context& context,
                  QWidget* parent) const override;
    QRect fit(QWidget* widget, const ControlTemplate& item, const QRect& rect,
              const Context& context) const override;
    // The user's picks.
    void connect(QtView& view, int id, const ControlTemplate& item, QWidget* widget) const override;
    std::string text(const QWidget* widget) const override;

    // Returns where the entry went; the selection stays on its entry.
    static int add(QComboBox& combo, const std::string& entry, bool sorted);
    // As the system does: an index out of range clears the selection and fails with
    // "invalid parameter".
    static bool select(QComboBox& combo, int index, Errors& errors);
    // Empty for an index out of range.
    static std::string entry(const QComboBox& combo, int index);
};

}  // namespace os::qt
