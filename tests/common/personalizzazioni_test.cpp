// Presets of new records (Personalizzazioni) applied to a record being added.

#include "common/personalizzazioni.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/error.h"
#include "support/tempdb.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class Presets : public ::testing::Test {
protected:
    testing_support::TempDatabase tdb;
    db::Dataset presets{&tdb.connection()};
    db::Dataset payments{&tdb.connection()};

    void SetUp() override {
        presets.setSql("select * from Personalizzazioni");
        payments.setSql("select * from Pagamenti");
    }
    void preset(const char* table, const char* field, const char* type, const char* value) {
        tdb.connection().execute(QStringLiteral("insert into Personalizzazioni (NomeTabella, NomeCampo, Tipo, Valore) "
                                                "values ('%1', '%2', '%3', '%4')")
                                     .arg(table, field, type, QString(value).replace("'", "''")));
    }
    // A new payment with the caller's own defaults, then the presets.
    void addPayment() {
        presets.open();
        payments.open();
        payments.append();
        payments.setValue("Importo", 10.0);
        payments.setValue("Operazione", "predefinita");
        common::ApplicaPersonalizzazioni("Pagamenti", payments, presets);
    }
};

TEST_F(Presets, EachTypeConvertsAndLaterPresetsWin) {
    preset("Pagamenti", "Operazione", "t", "Quota mensile");
    preset("Pagamenti", "Importo", "f", "35,5");
    preset("Pagamenti", "Cliente_ID", "n", "7");
    preset("Pagamenti", "Importo", "f", "40,25"); // the same field again: this one counts
    preset("Pagamenti", "Cliente_ID", "N", "99"); // upper-case type: skipped
    preset("Pagamenti", "Operazione", "x", "ignorata");
    preset("anagraficaclienti", "Importo", "f", "1,0"); // another table's preset
    addPayment();
    EXPECT_EQ(payments.value("Operazione").toString(), "Quota mensile");
    EXPECT_DOUBLE_EQ(payments.value("Importo").toDouble(), 40.25);
    EXPECT_EQ(payments.value("Cliente_ID").toLongLong(), 7);
    EXPECT_EQ(payments.state(), db::Dataset::State::Insert); // not saved here
    EXPECT_EQ(presets.filter(), "");
    EXPECT_EQ(presets.recordCount(), 7);
}

TEST_F(Presets, NoPresetsKeepTheCallersDefaults) {
    preset("anagraficaclienti", "Citta", "t", "Padova");
    addPayment();
    EXPECT_EQ(payments.value("Operazione").toString(), "predefinita");
    EXPECT_DOUBLE_EQ(payments.value("Importo").toDouble(), 10.0);
}

TEST_F(Presets, BadPresetsRaiseAndLeaveThePresetsUnfiltered) {
    const char* const cases[][4] = {
        {"Pagamenti", "Importo", "f", "35.5"},        // the other decimal separator
        {"Pagamenti", "Importo", "f", "molto"}, {"Pagamenti", "Cliente_ID", "n", "sette"},
        {"Pagamenti", "Cliente_ID", "n", "7,5"}, {"Pagamenti", "CampoInesistente", "t", "x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c[1]) + "=" + c[3]);
        tdb.connection().execute("delete * from Personalizzazioni");
        preset(c[0], c[1], c[2], c[3]);
        presets.close();
        payments.close();
        EXPECT_THROW(addPayment(), db::DatabaseError);
        EXPECT_EQ(presets.filter(), "");
    }
}

TEST_F(Presets, TextPresetOfADateReadsAsTyped) {
    preset("Pagamenti", "Data", "t", "01/09/2024");
    preset("Pagamenti", "Operazione", "t", "L'iscrizione");
    addPayment();
    EXPECT_EQ(payments.value("Data").toDate(), QDate(2024, 9, 1));
    EXPECT_EQ(payments.value("Operazione").toString(), "L'iscrizione");
}

} // namespace
