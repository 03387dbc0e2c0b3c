#include "windows/mfc/DataExchange.h"

namespace windows::mfc {

void DataExchange::check(int controlId, int& value) {
    if (saving) {
        value = view.isChecked(controlId) ? 1 : 0;
    } else {
        view.setCheck(controlId, value != 0);
    }
}

void DataExchange::check(int controlId, bool& value) {
    if (saving) {
        value = view.isChecked(controlId);
    } else {
        view.setCheck(controlId, value);
    }
}

void DataExchange::text(int controlId, std::string& value) {
    if (saving) {
        value = view.getText(controlId);
    } else {
        view.setText(controlId, value);
    }
}

}  // namespace windows::mfc
