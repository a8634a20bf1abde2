#pragma once

#include <QString>
#include <optional>

// The catalogue of the 23 reports a print action can ask for: layout file names, whether the
// viewer offers its filter window, and the record-source SQL. The column names and aliases
// of each query are the field names the layouts in reports/ print.
namespace printing {

struct VoceReport {
    int numero = 0;
    QString file;          // "Clienti.rpt"
    QString fileLandscape; // "ClientiLan.rpt"
    bool filtro = false;
};

// What a query is composed with: the current client's (or, for report 17, staff member's)
// key as text, the year typed in the year chooser, the exercise-picture option and this
// workstation's name (the notices of report 23 are this computer's only).
struct ContestoQuery {
    QString id;
    QString anno;
    bool noImmagine = false;
    QString nomeComputer;
};

// The entry of a report number; nullopt outside 1-23.
std::optional<VoceReport> voceReport(int numero, bool noImmagine);

// The record-source SQL of a report number; empty outside 1-23.
QString queryReport(int numero, const ContestoQuery& contesto);

} // namespace printing
