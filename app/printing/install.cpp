#include "app/printing/install.h"

#include "app/printing/scrittura.h"
#include "app/shell/form1.h"
#include "app/shell/form_db.h"

void installPrinting(TForm1& form1, Tform_DB& dm) {
    dm.scriviStampa = [](Tform_DB& data, int tipoReport) {
        printing::scriviStampa(data, tipoReport);
    };

    struct Pulsante {
        const char* name;
        int report;
        db::Dataset* query; // must hold rows; none: always printed
    };
    const Pulsante pulsanti[] = {
        {"btnStampeClienti", 7, &dm.Table1},
        {"btnStampePersonale", 8, &dm.Table3},
        {"btnStampaOrari", 9, &dm.Table2},
        {"btnStampeEsercizi", 10, &dm.TableEsercizi},
        {"btnStampeAlimenti", 11, &dm.TableAlimenti},
        {"btnStampePatologie", 12, &dm.TablePatologie},
        {"btnStampePagamenti", 13, &dm.TablePagamenti},
        {"btnStampeScadenziario", 14, &dm.TableScadenziario},
        {"btnStampeOrariClienti", 15, &dm.Table2},
        {"btnStampeConteggioClienti", 18, nullptr},
        {"btnStampeOccasionali", 19, &dm.TableOccasionali},
        {"BitBtn1", 20, &dm.TableCalendario},
    };
    for (const Pulsante& p : pulsanti) {
        form1.wire(QString::fromLatin1(p.name), [&dm, report = p.report, query = p.query] {
            if (query && (!query->isOpen() || query->recordCount() <= 0)) return;
            dm.tipoReport = report;
            dm.Button2Click();
        });
    }
}
