// The file information window: the technical and tag values of one file as its format reader finds
// them, a manual rename and play. It works on one path, InfoFileName (file-system bytes), which a
// successful rename updates; the main window reads it back after the window closes.
#pragma once

#include <QDialog>
#include <QByteArray>

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

    QWidget* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* edCurrentFileName = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* edNewFileName = nullptr;
    QPushButton* brManualRename = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit *Artist = nullptr, *Album = nullptr, *Title = nullptr, *Year = nullptr, *Genre = nullptr, *Track = nullptr;
    QLineEdit *Duration = nullptr, *Bitrate = nullptr, *SampleRate = nullptr, *Channels = nullptr, *Size = nullptr,
              *Other = nullptr;
    QPushButton* btPlay = nullptr;
    QPushButton* btClose = nullptr;

private:
    void FormCreate();
    void Readinfo();
    void btPlayClick();
    void brManualRenameClick();
    void showNames();
    void renameFailed(const QString& reason);

    QByteArray m_infoFileName;
};

} // namespace cantorix
