#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>

class QLineEdit;
class QPlainTextEdit;
class QTabWidget;
class QToolButton;
class QAction;
class Tform_DB;
class StartupSequence;

// The main window: a tabbed bar of buttons that opens every window of the program, the
// database path, help, "Lavora in Rete" and "Esci". Its first activation runs the start-up.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    TForm1(Tform_DB& dm, QString homeFolder, QWidget* parent = nullptr);
    ~TForm1() override;

    // A button of the bar by name ("btnClienti", "SpeedButton13", …); nullptr if unknown.
    QToolButton* button(const QString& name) const;
    // Enables a button and runs `action` when it is clicked: each window module wires its own.
    // Throws std::invalid_argument, naming the button, when the bar has no button `name`.
    void wire(const QString& name, std::function<void()> action);

    // Grid layout loader used by the start-up pass (installed with the grids' module).
    std::function<void(const QString&)> caricaGriglia;
    // Year chooser box (txtAnno) receiving the current year at start-up.
    std::function<void(int)> impostaAnno;
    // The administrator password prompt (frmPass by default); returns the text typed.
    std::function<QString()> askPassword;
    // The company-data window behind the hidden "Ditta" entry (Ctrl+D).
    std::function<void()> mostraDitta;
    // A history window for the "Storico" range (installed by the attendance module).
    std::function<void(const QString& from, const QString& to)> mostraStorico;

    bool avvioCompletato() const { return m_started; }
    // Runs the start-up sequence if it has not completed yet (what the first activation does);
    // after a failure, only once the window has been left and activated again.
    void FormActivate();
    void cmdConnessioneClick();
    void SpeedButton11Click(); // "Lavora in Rete"
    void SpeedButton8Click();  // "Esci"
    void maskDaExit();         // fills "Alla data" with 31/12 of the year typed
    // Plays a help video: a file beside the program, else the video page on the web.
    void playVideo(const QString& file);

    QString databasePath() const;
    QString databaseCopyPath() const;
    // Base address of the help videos on the web (overridable by VASTREL_VIDEO_URL).
    static QString videoBaseUrl();

Q_SIGNALS:
    void avviato(); // the start-up sequence completed

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QWidget* buildArchivio();
    QWidget* buildAttivita();
    QWidget* buildStampe();
    QWidget* buildStorico();
    QWidget* buildVideo();
    QToolButton* addButton(QWidget* page, const char* name, const QString& caption, const char* icon);

    Tform_DB& m_dm;
    QString m_home;
    std::unique_ptr<StartupSequence> m_startup;
    bool m_started = false;
    bool m_running = false;
    bool m_failed = false; // the last start-up failed; waits for the user to come back
    QTabWidget* pgcBarra = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLineEdit* maskDa = nullptr;
    QLineEdit* maskA = nullptr;
    QAction* Ditta1 = nullptr;
};
