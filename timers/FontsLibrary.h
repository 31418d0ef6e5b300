// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <memory>

namespace Ui {
class FontsDialog;
}

namespace td {

class FontPluginInterface;

/// The "Fonts Library": lists the digit fonts and shows a sample of the
/// chosen one; the caller stores the choice.
class FontsLibrary : public QDialog
{
    Q_OBJECT

public:
    /// Lists `plugins`, pre-selecting the font named `defaultSkin`, else the first.
    FontsLibrary(const QList<QObject*>& plugins, const QString& defaultSkin,
                 QWidget* parent = nullptr);
    ~FontsLibrary() override;

    /// name() of the font in the current row; empty when no row is current.
    QString selectedFontName() const;

    std::unique_ptr<Ui::FontsDialog> ui;

public slots:
    void updateSampleLabel();

private:
    void build(const QList<QObject*>& plugins, const QString& defaultSkin);

    /// Row i shows fonts[i].
    QList<FontPluginInterface*> fonts;
};

} // namespace td
