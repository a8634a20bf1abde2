// The names and the tab order the form conventions give a form when it is first shown.

#include "common/controls/dbedits.h"
#include "common/controls/dbgrid.h"
#include "common/controls/formconventions.h"
#include "controls_support.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace controls_test;
using ui::FormConventions;

namespace {

template <class W> W* named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// A record form whose controls are created in an order unlike the one they are laid out in:
// a row of fields, a tab widget (a grid beside two edits; a page never shown laid out by a
// form layout) and two buttons.
TEST(FormAccessibility, NamesComeFromTheLabelsAndTabFollowsTheLayout) {
    QWidget form;
    form.setWindowTitle("Scheda prova");
    // Created with their parent, as windows do: the focus chain starts in creation order.
    auto* tabs = named(new QTabWidget(&form), "tabs");
    auto* dati = new QWidget;
    auto* altro = new QWidget;
    tabs->addTab(dati, "Dati");
    tabs->addTab(altro, "Altro");
    auto* annulla = named(new QPushButton("Annulla", &form), "annulla");
    auto* ok = named(new QPushButton("OK", &form), "ok");
    auto* attivo = named(new QCheckBox("Attivo", &form), "attivo");
    auto* citta = named(new QLineEdit(&form), "citta");
    auto* nome = named(new QLineEdit(&form), "nome");
    auto* cognome = named(new ui::DBEdit(&form), "cognome");
    auto* note = named(new QLineEdit(dati), "note");
    auto* telefono = named(new QLineEdit(dati), "telefono");
    auto* grid = named(new ui::DBGrid(dati), "grid");
    auto* altezza = named(new QLineEdit(altro), "altezza");
    auto* peso = named(new QLineEdit(altro), "peso");

    auto* fields = new QGridLayout;
    const std::tuple<const char*, QWidget*, int, int> labelled[] = {
        {"&Cognome:", cognome, 0, 0}, {"Nome &&  titolo :", nome, 0, 2}, {"<b>Città</b>:", citta, 1, 0}, {"Stato:", attivo, 1, 2}};
    for (const auto& [text, w, row, column] : labelled) {
        auto* label = new QLabel(text);
        label->setBuddy(w);
        fields->addWidget(label, row, column);
        fields->addWidget(w, row, column + 1);
    }

    note->setAccessibleName("Annotazioni"); // a name given by the window stays
    grid->setMinimumHeight(150);
    auto* right = new QVBoxLayout;
    right->addWidget(telefono);
    right->addWidget(note);
    right->addStretch(1);
    auto* datiLayout = new QHBoxLayout(dati);
    datiLayout->addWidget(grid, 1);
    datiLayout->addLayout(right);
    auto* altroLayout = new QFormLayout(altro);
    altroLayout->addRow("Peso (kg):", peso);
    altroLayout->addRow("Altezza:", altezza);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(annulla);
    auto* layout = new QVBoxLayout(&form);
    layout->addLayout(fields);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    form.resize(600, 400);

    FormConventions::install(&form);
    ASSERT_TRUE(showActive(&form));

    EXPECT_EQ(cognome->accessibleName(), "Cognome");
    EXPECT_EQ(nome->accessibleName(), "Nome & titolo");
    EXPECT_EQ(citta->accessibleName(), "Città");
    EXPECT_EQ(peso->accessibleName(), "Peso (kg)");
    EXPECT_EQ(note->accessibleName(), "Annotazioni");
    EXPECT_EQ(grid->accessibleName(), "Scheda prova");
    EXPECT_EQ(attivo->accessibleName(), ""); // its own text speaks for it
    EXPECT_EQ(ok->accessibleName(), "");

    // The focus chain, reduced to the controls above, as Tab walks it from the first one.
    const QList<QWidget*> expected{cognome, nome, citta, attivo, tabs->findChild<QTabBar*>(), grid,
                                   telefono, note, peso, altezza, ok, annulla};
    QList<QWidget*> walked;
    QWidget* w = cognome;
    do {
        if (expected.contains(w) && !walked.contains(w)) walked << w;
        w = w->nextInFocusChain();
    } while (w != cognome);
    auto names = [](const QList<QWidget*>& ws) {
        QStringList out;
        for (QWidget* x : ws) out << QString(x->objectName() + u'/' + QString::fromLatin1(x->metaObject()->className()));
        return out.join(", ").toStdString();
    };
    EXPECT_EQ(names(walked), names(expected));
}

} // namespace
