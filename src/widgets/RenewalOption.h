#pragma once

class QCheckBox;
class QRadioButton;
class QWidget;

namespace kora {

// The check box under an expiration sort option that starts the order at
// today's month and day ("Next renewal first"): checked when made, and
// usable only while the expiration sort is chosen.
class RenewalOption
{
public:
    static QCheckBox* create(QRadioButton* expirationSort, QWidget* parent);
};

} // namespace kora
