// SPDX-License-Identifier: GPL-3.0-or-later
#include "timers/FontsLibrary.h"

#include "common/Clock.h"
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"

#include "ui_fontsdialog.h"

namespace td {

FontsLibrary::FontsLibrary(const QList<QObject*>& plugins, const QString& defaultSkin,
                           QWidget* parent)
    : QDialog(parent), ui(new Ui::FontsDialog)
{
    build(plugins, defaultSkin);
}

FontsLibrary::~FontsLibrary() = default;

void FontsLibrary::build(const QList<QObject*>& plugins, const QString& defaultSkin)
{
    ui->setupUi(this);
    int selected = -1;
    for (QObject* plugin : plugins) {
        FontPluginInterface* font = fontInterface(plugin);
        if (!font)
            continue;
        if (selected < 0 && font->name() == defaultSkin)
            selected = int(fonts.size());
        fonts.append(font);
        ui->fontsList->addItem(font->title());
    }
    if (fonts.isEmpty())
        ui->pixmapLabel->setText(tr("No digit fonts are installed."));
    connect(ui->fontsList, &QListWidget::currentRowChanged, this, &FontsLibrary::updateSampleLabel);
    ui->fontsList->setCurrentRow(qMax(selected, 0));
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QString FontsLibrary::selectedFontName() const
{
    const int row = ui->fontsList->currentRow();
    return row >= 0 && row < fonts.size() ? fonts[row]->name() : QString();
}

void FontsLibrary::updateSampleLabel()
{
    const int row = ui->fontsList->currentRow();
    if (row < 0 || row >= fonts.size())
        return;
    const QTime time = now().time();
    TimeParts sample;
    sample.hours = time.hour();
    sample.minutes = time.minute();
    sample.captions = true;
    // The row's own plug-in draws its sample, even if another carries the same name.
    const QImage image = renderTime(fonts[row], sample);
    // Shown at its own size; the group box's layout centres it.
    ui->pixmapLabel->setPixmap(QPixmap::fromImage(image));
}

} // namespace td
