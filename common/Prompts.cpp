// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Prompts.h"

#include <QDebug>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
td::prompts::MessageHandler messageHandler;
td::prompts::QuestionHandler questionHandler;
td::prompts::NoticeHandler noticeHandler;
td::prompts::NoticeHandler noticeSink;
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

bool question(QWidget* parent, const QString& title, const QString& text, const QString& yes,
              const QString& no)
{
    if (questionHandler)
        return questionHandler(parent, title, text);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QPushButton* yesButton = box.addButton(yes, QMessageBox::AcceptRole);
    QPushButton* noButton = box.addButton(no, QMessageBox::RejectRole);
    box.setDefaultButton(noButton);
    box.setEscapeButton(noButton);
    box.exec();
    return box.clickedButton() == yesButton;
}

void notice(const QString& text)
{
    qWarning().noquote() << text;
    if (noticeHandler)
        noticeHandler(text);
    else if (noticeSink)
        noticeSink(text);
}

void setNoticeSink(std::function<void(const QString& text)> sink)
{
    noticeSink = std::move(sink);
}

QString openFileName(QWidget* parent, const QString& caption, const QString& dir,
                     const QString& filter)
{
    if (openFileHandler)
        return openFileHandler(parent, caption, dir, filter);
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                     const QString& filter)
{
    if (openFileHandler)
        return openFileHandler(parent, caption, dir, filter);
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

void setMessageHandler(MessageHandler handler)
{
    messageHandler = std::move(handler);
}

void setQuestionHandler(QuestionHandler handler)
{
    questionHandler = std::move(handler);
}

void setNoticeHandler(NoticeHandler handler)
{
    noticeHandler = std::move(handler);
}

void setOpenFileHandler(OpenFileHandler handler)
{
    openFileHandler = std::move(handler);
}

} // namespace td::prompts
