// The controls of the fields of both families, made by kind.

#include "app/archives/detailform.h"
#include "common/controls/dbedits.h"
#include "common/controls/formconventions.h"

namespace {

QWidget* controllo(const DetailField& f, db::Dataset* q, QWidget* parent) {
    switch (f.kind) {
    case DetailField::Memo: {
        auto* memo = new ui::DBMemo(q, f.field, parent);
        memo->setMinimumHeight(90);
        return memo;
    }
    case DetailField::Date: {
        auto* date = new ui::DateMaskEdit(q, f.field, parent);
        if (f.width == 0) date->setFixedWidth(110);
        return date;
    }
    case DetailField::Amount: {
        auto* edit = new ui::DBEdit(q, f.field, parent);
        ui::FormConventions::setAmount(edit);
        return edit;
    }
    case DetailField::Time: {
        auto* time = new ui::TimeEdit(q, f.field, parent);
        if (f.width == 0) time->setFixedWidth(70);
        return time;
    }
    case DetailField::Check:
        return new ui::DBCheckBox(q, f.field, f.label, parent);
    case DetailField::List:
        return new ui::DBComboBox(q, f.field, f.items, parent);
    case DetailField::Lookup: {
        auto* combo = new ui::DBLookupComboBox(parent);
        combo->setDataset(q);
        combo->setDataField(f.field);
        combo->setListSource(f.list, f.listKey, f.listField);
        return combo;
    }
    case DetailField::Picture: {
        auto* picture = new ui::DBImage(q, f.field, parent);
        picture->setMinimumSize(160, 160);
        return picture;
    }
    case DetailField::ReadOnly: {
        auto* edit = new ui::DBEdit(q, f.field, parent);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        return edit;
    }
    case DetailField::Edit:
        break;
    }
    return new ui::DBEdit(q, f.field, parent);
}

} // namespace

QWidget* creaCampo(const DetailField& f, db::Dataset* query, QWidget* parent) {
    QWidget* w = controllo(f, query, parent);
    w->setObjectName(f.control);
    if (f.width > 0) w->setFixedWidth(f.width);
    return w;
}

DetailField campoDi(const QString& control, const QString& field, const QString& label, DetailField::Kind kind,
                    int page, int column, int width) {
    DetailField f;
    f.control = control;
    f.field = field;
    f.label = label;
    f.kind = kind;
    f.page = page;
    f.column = column;
    f.width = width;
    return f;
}

DetailField sceltaDi(const QString& control, const QString& field, const QString& label, db::Dataset& list,
                     const QString& key, const QString& shown, int page, int column, const QString& show,
                     const QString& add) {
    DetailField f = campoDi(control, field, label, DetailField::Lookup, page, column);
    f.list = &list;
    f.listKey = key;
    f.listField = shown;
    f.showButton = show;
    f.addButton = add;
    return f;
}
