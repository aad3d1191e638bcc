// The questions the main window asks the user. The window talks only to this interface, so
// tests answer message boxes and file choosers without a modal dialog.
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

class QWidget;

namespace brenvale {

class TDialogs {
public:
    virtual ~TDialogs() = default;
    // A message box titled "Information" with an information icon and an OK button.
    virtual void Information(QWidget* parent, const QString& text) = 0;
    // A message box titled "Confirmation" with a question icon; true for Yes.
    virtual bool Confirmation(QWidget* parent, const QString& text) = 0;
    // Several existing files; `name_filters` are Qt name filters ("Name (*.a *.b)"). Empty: cancelled.
    virtual QStringList OpenFiles(QWidget* parent, const QStringList& name_filters) = 0;
    // A folder under the headline, starting at `start`; nothing when cancelled.
    virtual std::optional<QString> BrowseForFolder(QWidget* parent, const QString& headline, const QString& start) = 0;
};

// The toolkit's own modal dialogs.
class TQtDialogs final : public TDialogs {
public:
    void Information(QWidget* parent, const QString& text) override;
    bool Confirmation(QWidget* parent, const QString& text) override;
    QStringList OpenFiles(QWidget* parent, const QStringList& name_filters) override;
    std::optional<QString> BrowseForFolder(QWidget* parent, const QString& headline, const QString& start) override;
};

}  // namespace brenvale
