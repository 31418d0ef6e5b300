// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/TimeEdits.h"

#include "common/LocaleFormat.h"

#include <QTimeEdit>

namespace td {

void localizeTimeEdits(QWidget* root)
{
    for (QTimeEdit* edit : root->findChildren<QTimeEdit*>())
        edit->setDisplayFormat(timeEditFormat(edit->displayFormat(), edit->locale()));
}

} // namespace td
