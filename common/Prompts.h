// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace td::prompts {

enum class Kind { Information, Warning, Critical };

/// Every input error and fatal box of the program goes through here: a modal
/// box with a title, a text and one OK button.
void message(QWidget* parent, Kind kind, const QString& title, const QString& text);
inline void warning(QWidget* parent, const QString& title, const QString& text)
{
    message(parent, Kind::Warning, title, text);
}
inline void critical(QWidget* parent, const QString& title, const QString& text)
{
    message(parent, Kind::Critical, title, text);
}

/// Asks a question with two answers; true for `yes`. Enter and Escape give
/// `no`, which must be the answer that loses nothing.
bool question(QWidget* parent, const QString& title, const QString& text, const QString& yes,
              const QString& no);

/// A passing note that needs no answer: a line in the log, and whatever the
/// program's shell made of notices (the tray's balloon, held back until the
/// icon can show one).
void notice(const QString& text);
/// Where notices go when no test handler takes them: set by the shell.
void setNoticeSink(std::function<void(const QString& text)> sink);

/// The file-open dialog; returns an empty string when cancelled.
QString openFileName(QWidget* parent, const QString& caption, const QString& dir,
                     const QString& filter);

/// The file-save dialog; tests answer it through the open-file handler.
QString saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                     const QString& filter);

/// Tests answer boxes and file dialogs without a nested event loop.
using MessageHandler =
    std::function<void(QWidget* parent, Kind, const QString& title, const QString& text)>;
using OpenFileHandler = std::function<QString(QWidget* parent, const QString& caption,
                                              const QString& dir, const QString& filter)>;
using QuestionHandler =
    std::function<bool(QWidget* parent, const QString& title, const QString& text)>;
using NoticeHandler = std::function<void(const QString& text)>;
void setMessageHandler(MessageHandler handler); // empty handler: real boxes again
void setQuestionHandler(QuestionHandler handler);
void setNoticeHandler(NoticeHandler handler);
void setOpenFileHandler(OpenFileHandler handler);

} // namespace td::prompts
