#include "app/Prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {
td::prompts::MessageHandler messageHandler;
td::prompts::OpenFileHandler openFileHandler;
} // namespace

namespace td::prompts {

void message(QWidget* parent, Kind kind, const QString& title, const QString& text)
{
    if (messageHandler) {
        messageHandler(parent, kind, title, text);
        return;
    }
    const QMessageBox::Icon icon = kind == Kind::Critical  ? QMessageBox::Critical
                                   : kind == Kind::Warning ? QMessageBox::Warning
                                                           : QMessageBox::Information;
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

QString openFileName(QWidget* parent, const QString& caption, const QString& dir,
                     const QString& filter)
{
    if (openFileHandler)
        return openFileHandler(parent, caption, dir, filter);
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

void setMessageHandler(MessageHandler handler)
{
    messageHandler = std::move(handler);
}

void setOpenFileHandler(OpenFileHandler handler)
{
    openFileHandler = std::move(handler);
}

} // namespace td::prompts
