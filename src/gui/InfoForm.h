// The file information window: the technical and tag values of one file as its format reader finds
// them, a manual rename and play. It works on one path, InfoFileName (file-system bytes), which a
// successful rename updates; the main window reads it back after the window closes.
#pragma once

#include <QDialog>
#include <QByteArray>
#include <QStringList>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace cantorix {

class TInfoForm : public QDialog {
    Q_OBJECT
public:
    explicit TInfoForm(const QByteArray& infoFileName, QWidget* parent = nullptr);

    // The file's full path, following a manual rename.
    const QByteArray& infoFileName() const { return m_infoFileName; }
    // The extensions (upper case, with their dot) that make a file listed; a new name without one is
    // renamed only once the user confirms it. The built-in list by default.
    void setAudioExtensions(const QStringList& extensions) { m_audioExtensions = extensions; }

    QWidget* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* edCurrentFileName = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* edNewFileName = nullptr;
    QPushButton* brManualRename = nullptr;
    QLabel* lbRenameStatus = nullptr; // what the last rename did
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit *Artist = nullptr, *Album = nullptr, *Title = nullptr, *Year = nullptr, *Genre = nullptr, *Track = nullptr;
    QLineEdit *Duration = nullptr, *Bitrate = nullptr, *SampleRate = nullptr, *Channels = nullptr, *Size = nullptr,
              *Other = nullptr;
    QPushButton* btPlay = nullptr;
    QPushButton* btClose = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void Readinfo();
    void btPlayClick();
    void brManualRenameClick();
    void showNames();
    // Asks about `name` (bare, file-system bytes), which has no audio extension: false to keep the
    // name; `name` may gain the current file's extension.
    bool confirmExtension(QByteArray& name);
    void renameFailed(const QString& newName, const QString& reason);

    QByteArray m_infoFileName;
    QStringList m_audioExtensions;
};

} // namespace cantorix
