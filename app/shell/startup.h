#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class Tform_DB;

// The grids whose saved layouts the start-up restores, in this order.
extern const QStringList kGriglieAvvio;

// The start-up sequence run at the first activation of the main window: locate the
// database through percorso.txt, connect (creating a new database when there is none),
// apply SQLAggio.sql, move last year's concluded appointments to the history, clear this
// workstation's notice rows, ask the administrator password, reopen the shared queries,
// set the standard filters and restore the grids' layouts.
class StartupSequence {
public:
    enum class Result { Ready, Failed, Quit };

    struct Hooks {
        std::function<void(const QString&)> showPath;     // Memo1 of the main window
        std::function<void(int)> setYear;                 // txtAnno of the year chooser
        std::function<QString()> askPassword;             // frmPass; the text typed
        std::function<void(const QString&)> loadGrid;     // CaricaGriglia for one grid name
    };

    StartupSequence(Tform_DB& dm, QString homeFolder, Hooks hooks);

    // Runs every step; a database error is shown with its text and gives Failed (the caller
    // runs the sequence again at the next activation). Quit: wrong password.
    Result run(QWidget* parent);

    // Today's date for the history cut-off; the system date unless a test sets it.
    QDate today = QDate::currentDate();

    QString databasePath;     // the database in use
    QString databaseCopyPath; // its folder + "archivio.db" (the options' folder picker)
    QString helpPath;         // help index beside the programs

    // Applies an update script: every statement before a ';', all in one transaction.
    // Throws db::DatabaseError (nothing applied) when one fails; returns statements run.
    static int applicaScript(Tform_DB& dm, const QString& script);

private:
    void steps(QWidget* parent, bool& quit);
    // The database named by percorso.txt is missing: another file chosen (true), a new one
    // to be created there (false), or DatabaseError when the user wants neither.
    bool databaseMancante(QWidget* parent);
    Tform_DB& m_dm;
    QString m_home;
    Hooks m_hooks;
};
