#pragma once

// Generator: reference registers, staff, clients and occasional visitors.

#include "gen_catalog.h"
#include "gen_context.h"
#include "gen_lists.h"

#include <QBuffer>
#include <QImage>

#include <cmath>
#include <string>

namespace gen {

inline std::string digits(Rng& rng, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += char('0' + rng.below(10));
    return s;
}

inline double cents(double v) { return double(std::llround(v * 100)) / 100.0; }

inline void readTowns(Context& ctx) {
    Stmt q(*ctx.conn, "SELECT ID, Comune, Provincia, Cap, CODICE_F FROM Comuni ORDER BY ID");
    while (q.step())
        ctx.towns.push_back({int(q.integer(0)), q.text(1), q.text(2), q.text(3), q.text(4)});
    if (ctx.towns.empty()) throw std::runtime_error("the Comuni table is empty");
    // The centre is in Padova: most clients live in its province.
    for (size_t i = 0; i < ctx.towns.size(); ++i) {
        if (ctx.towns[i].name == "Padova") ctx.homeTown = int(i);
        for (const char* city : BigCities)
            if (ctx.towns[i].name == city) ctx.bigCities.push_back(int(i));
    }
    const std::string province = ctx.towns[size_t(ctx.homeTown)].province;
    for (size_t i = 0; i < ctx.towns.size(); ++i)
        if (ctx.towns[i].province == province) ctx.homeProvince.push_back(int(i));
}

inline const Town& residence(Context& ctx, Rng& rng) {
    const double r = rng.unit();
    if (r < 0.45) return ctx.towns[size_t(ctx.homeTown)];
    if (r < 0.90) return ctx.towns[size_t(ctx.homeProvince[rng.below(uint32_t(ctx.homeProvince.size()))])];
    return ctx.towns[rng.below(uint32_t(ctx.towns.size()))];
}

inline const Town& birthplace(Context& ctx, Rng& rng) {
    const double r = rng.unit();
    if (r < 0.15) return ctx.towns[size_t(ctx.homeTown)];
    if (r < 0.65) return ctx.towns[size_t(ctx.homeProvince[rng.below(uint32_t(ctx.homeProvince.size()))])];
    if (r < 0.88 && !ctx.bigCities.empty())
        return ctx.towns[size_t(ctx.bigCities[rng.below(uint32_t(ctx.bigCities.size()))])];
    return ctx.towns[rng.below(uint32_t(ctx.towns.size()))];
}

inline Person person(Context& ctx, Rng& rng, int minAge, int maxAge) {
    static const Weighted surnames = Weighted::zipf(std::size(Surnames), 0.75);
    static const Weighted males = Weighted::zipf(std::size(MaleNames), 0.6);
    static const Weighted females = Weighted::zipf(std::size(FemaleNames), 0.6);
    Person p;
    p.surname = Surnames[surnames(rng)];
    p.female = rng.chance(0.52);
    p.name = p.female ? FemaleNames[females(rng)] : MaleNames[males(rng)];
    const int age = minAge + int((maxAge - minAge) * std::pow(rng.unit(), 1.4));
    p.birth = ctx.today - age * 365 - rng.range(0, 364);
    p.birthplace = &birthplace(ctx, rng);
    return p;
}

inline std::string mobile(Rng& rng) {
    static const char* const prefixes[] = {"320", "328", "333", "335", "338", "339", "340", "345",
                                           "347", "348", "349", "351", "366", "380", "389", "392"};
    return std::string(rng.pick(prefixes)) + " " + digits(rng, 7);
}

// Padova's prefix for the town itself, another one elsewhere.
inline std::string landline(bool home, Rng& rng) {
    return (home ? std::string("049") : "0" + digits(rng, 2)) + " " + digits(rng, 6 + int(rng.below(2)));
}

inline std::string email(const Person& p, Rng& rng) {
    std::string local = asciiLetters(p.name, false);
    const double r = rng.unit();
    local += r < 0.5 ? "." : r < 0.7 ? "_" : "";
    local += asciiLetters(p.surname, false);
    if (rng.chance(0.35)) local += std::to_string(rng.range(1, 99));
    return local + "@" + rng.pick(MailDomains);
}

inline std::string houseNumber(Rng& rng) {
    std::string n = std::to_string(rng.range(1, 180));
    if (rng.chance(0.12)) n += char('A' + rng.below(4));
    if (rng.chance(0.05)) n += " int. " + std::to_string(rng.range(1, 12));
    return n;
}

// A small picture of an exercise: a gradient with a few bars, as a JPEG of about 2 KB.
inline std::vector<char> exerciseImage(int index, Rng& rng) {
    QImage img(96, 72, QImage::Format_RGB32);
    const int hue = (index * 37) % 360;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixelColor(x, y, QColor::fromHsv(hue, 60 + y, 255 - x));
    const int bars = rng.range(2, 5);
    for (int b = 0; b < bars; ++b) {
        const int x0 = rng.range(4, 80), w = rng.range(4, 12);
        for (int y = 20; y < 60; ++y)
            for (int x = x0; x < x0 + w && x < img.width(); ++x) img.setPixel(x, y, 0x303030);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!img.save(&buffer, "JPG", 80)) throw std::runtime_error("JPEG writer not available");
    return std::vector<char>(bytes.begin(), bytes.end());
}

inline void fillReference(Context& ctx) {
    const Ymd first = civilFromDays(ctx.historyFrom), last = civilFromDays(ctx.today);
    ctx.firstSeasonYear = first.y - 1;
    ctx.seasonCount = last.y + 1 - ctx.firstSeasonYear + 1;
    Stmt season(*ctx.conn, "INSERT INTO Stagione (ID, Descrizione, DallaData, AllaData) VALUES (?,?,?,?)");
    for (int i = 0; i < ctx.seasonCount; ++i) {
        const int y = ctx.firstSeasonYear + i;
        season.row(i + 1, "Stagione " + std::to_string(y) + "/" + std::to_string(y + 1),
                   storedDate(daysFromCivil(y, 9, 1)), storedDate(daysFromCivil(y + 1, 8, 31)));
    }
    Stmt group(*ctx.conn, "INSERT INTO GruppoSportivo (ID, Descrizione) VALUES (?,?)");
    for (size_t i = 0; i < std::size(SportsGroups); ++i) group.row(int(i + 1), SportsGroups[i]);
    Stmt method(*ctx.conn, "INSERT INTO ModPagamento (id, Descrizione) VALUES (?,?)");
    for (size_t i = 0; i < std::size(PaymentMethods); ++i) method.row(int(i + 1), PaymentMethods[i]);
    Stmt type(*ctx.conn, "INSERT INTO TipoPagamenti (Id, Descrizione, ScadenzaMesi) VALUES (?,?,?)");
    for (size_t i = 0; i < std::size(SubscriptionTypes); ++i)
        type.row(int(i + 1), SubscriptionTypes[i].name, SubscriptionTypes[i].months);
    Stmt op(*ctx.conn, "INSERT INTO OperazionePagamenti (ID, Descrizione, Importo) VALUES (?,?,?)");
    for (size_t i = 0; i < std::size(Operations); ++i)
        op.row(int(i + 1), Operations[i].name, Operations[i].amount);

    Stmt muscle(*ctx.conn, "INSERT INTO GruppiMuscolari (Id, Descrizione) VALUES (?,?)");
    Stmt exercise(*ctx.conn, "INSERT INTO Esercizi (ID, Descrizione, ModalitaUso, Immagine, GruppoMuscolare_ID) VALUES (?,?,?,?,?)");
    Rng rng = ctx.rng("Esercizi");
    int id = 0;
    for (size_t g = 0; g < std::size(ExerciseFamilies); ++g) {
        const ExerciseFamily& f = ExerciseFamilies[g];
        muscle.row(int(g + 1), f.group);
        for (const char* base : f.bases)
            for (const char* variant : f.variants) {
                const std::string name = std::string(base) + " " + variant;
                std::optional<std::vector<char>> picture;
                if (rng.chance(0.25)) picture = exerciseImage(id, rng);
                exercise.row(++id, name, rng.pick(ExerciseHowTo), picture, int(g + 1));
                ctx.exercises.emplace_back(id, name);
            }
    }

    Stmt food(*ctx.conn, "INSERT INTO Alimenti (ID, Descrizione, [E%], ACQ, PRO, GRA, CAR, FIB, KC) VALUES (?,?,?,?,?,?,?,?,?)");
    static const std::string_view categories = "cmpvfdo";
    id = 0;
    for (const Food& f : Foods)
        for (const auto& [name, n] : foodForms(f)) {
            auto r1 = [](double v) { return std::round(v * 10) / 10; };
            food.row(++id, name, r1(n.edible), r1(n.water), r1(n.protein), r1(n.fat), r1(n.carbs),
                     r1(n.fibre), double(std::lround(n.kcal)));
            ctx.foodsByCategory[categories.find(f.category)].push_back(id);
        }

    Stmt pathology(*ctx.conn, "INSERT INTO Patologie (ID, Descrizione, Cura) VALUES (?,?,?)");
    for (size_t i = 0; i < std::size(Pathologies); ++i)
        pathology.row(int(i + 1), Pathologies[i].name, Pathologies[i].cure);
    ctx.pathologies = int(std::size(Pathologies));
    Stmt meals(*ctx.conn, "SELECT count(*) FROM Pasti");
    ctx.meals = meals.step() ? int(meals.integer(0)) : 0;
}

inline void fillStaff(Context& ctx) {
    Rng rng = ctx.rng("anagraficapersonale");
    std::vector<double> weights;
    for (const Job& j : Jobs) weights.push_back(j.weight);
    const Weighted jobs(weights);
    Stmt ins(*ctx.conn,
             "INSERT INTO anagraficapersonale (ID, Cognome, Nome, Via, Numero_civico, Cap, Citta, "
             "Provincia, Nato_a, Datanascita, Sesso, Codfiscale, Tel, Cell, E_mail, Tessera, Note, "
             "Mansione, Dataavviorapporto, Tariffa_ad_ora_euro, Annullato, PrivacyFirmata) "
             "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (int i = 1; i <= ctx.sizes.staff; ++i) {
        const Person p = person(ctx, rng, 20, 62);
        const Town& home = residence(ctx, rng);
        const int job = int(jobs(rng));
        const bool cancelled = rng.chance(0.08);
        // A saved staff record rewrites Personale with one blank; a pick writes two.
        const bool saved = rng.chance(0.3);
        ctx.staff.push_back({i, p.surname + (saved ? " " : "  ") + p.name, job, Jobs[job].teaches, cancelled});
        const double rate = Jobs[job].teaches ? 12.5 + rng.below(36) * 0.5 : 9 + rng.below(90) * 0.1;
        ins.values(std::tuple{i, p.surname, p.name, rng.pick(Streets), houseNumber(rng), home.cap, home.name,
                home.province, p.birthplace->name, storedDate(p.birth), p.female ? "F" : "M",
                p.taxCode(), rng.chance(0.3) ? std::optional(landline(true, rng)) : std::nullopt,
                mobile(rng), email(p, rng), std::to_string(i),
                rng.chance(0.1) ? std::optional<std::string>("Disponibile anche il sabato") : std::nullopt,
                Jobs[job].name, storedDate(ctx.today - rng.range(30, 15 * 365)), cents(rate),
                cancelled, rng.chance(0.95)});
    }
}

inline void fillClients(Context& ctx) {
    Rng rng = ctx.rng("anagraficaclienti");
    std::vector<double> w;
    for (const auto& t : SubscriptionTypes) w.push_back(t.months == 1 ? 8 : t.months == 12 ? 4 : 1.5);
    const Weighted types(w);
    std::vector<int> instructors;
    for (const auto& s : ctx.staff)
        if (s.teaches && !s.cancelled) instructors.push_back(s.id);
    Stmt ins(*ctx.conn,
             "INSERT INTO anagraficaclienti (ID, Cognome, Nome, NominativoDocumenti, "
             "NominativoVisualizzato, Via, Numero_civico, Cap, Citta, Provincia, Nato_a, Datanascita, "
             "Sesso, Codfiscale, Tel, Cell, Fax, E_mail, Skype, Tessera, Note, DataInserimento, "
             "Annullato, Certificato_med, Scadenza_cert_medico, Omaggi, PrivacyFirmata, "
             "DataScadenzaAbbonamento, ScadenzaPagamento, TipoPagamento_ID, ModPagamento_Id, "
             "Istruttore_ID, GruppoSportivo_ID, Stagione_ID, Quietanza_Cognome, Quietanza_Nome, "
             "Quietanza_Datanascita, Quietanza_Nato_a, Quietanza_Sesso, Quietanza_CodiceFiscale, "
             "Quietanza_PIva, Quietanza_Indirizzo, Quietanza_Residente, "
             "Quietanza_Residente_Numero_civico, Quietanza_Residente_Prov, Quietanza_Residente_cap) "
             "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    using Opt = std::optional<std::string>;
    for (int id = 1; id <= ctx.sizes.clients; ++id) {
        const bool minor = rng.chance(0.12);
        const Person p = minor ? person(ctx, rng, 6, 17) : person(ctx, rng, 18, 82);
        const Town& home = residence(ctx, rng);
        const std::string street = rng.pick(Streets), number = houseNumber(rng);
        const bool hasBirth = rng.chance(0.97);
        const Opt code = hasBirth && rng.chance(0.92) ? Opt(p.taxCode()) : std::nullopt;
        const std::string documentName = p.surname + " " + p.name;
        std::string shown = documentName;
        if (code) shown += " - " + *code;
        else if (hasBirth) shown += " - " + italianDate(p.birth);

        // Entered up to ten years ago, more often recently; some left, some are cancelled.
        const int join = std::max(p.birth + 5 * 365, ctx.today - int(3650 * std::pow(rng.unit(), 1.6)));
        const bool cancelled = rng.chance(0.08);
        const bool active = !cancelled && rng.chance(0.55);
        const int leave = active ? ctx.today : join + int((ctx.today - join) * rng.unit());
        const int paidUntil = active ? ctx.today + rng.range(-20, 180) : leave + rng.range(0, 60);
        const int registration = active ? ctx.today + rng.range(-30, 330) : leave + rng.range(0, 300);
        const bool certificate = rng.chance(0.8);
        const std::optional<std::string> certificateExpiry =
            certificate ? Opt(storedDate((active ? ctx.today : leave) + rng.range(-90, 365))) : std::nullopt;
        const int method = rng.range(1, int(std::size(PaymentMethods)));
        ctx.clients.push_back({id, documentName, join, leave, cancelled, active, method});

        // The person who pays for a minor.
        Opt qSurname, qName, qBirth, qPlace, qSex, qCode, qVat, qStreet, qTown, qNumber, qProv, qCap;
        if (minor) {
            Person parent = person(ctx, rng, 0, 0);
            if (rng.chance(0.8)) parent.surname = p.surname;
            parent.birth = p.birth - rng.range(22 * 365, 45 * 365);
            qSurname = parent.surname;
            qName = parent.name;
            qBirth = storedDate(parent.birth);
            qPlace = parent.birthplace->name;
            qSex = parent.female ? "F" : "M";
            qCode = parent.taxCode();
            if (rng.chance(0.04)) qVat = digits(rng, 11);
            qStreet = street;
            qTown = home.name;
            qNumber = number;
            qProv = home.province;
            qCap = home.cap;
        }
        ins.values(std::tuple{id, p.surname, p.name, documentName, shown, street, number, home.cap, home.name,
                home.province, p.birthplace->name, hasBirth ? Opt(storedDate(p.birth)) : std::nullopt,
                p.female ? "F" : "M", code,
                rng.chance(0.35) ? Opt(landline(&home == &ctx.towns[size_t(ctx.homeTown)], rng)) : std::nullopt,
                rng.chance(0.85) ? Opt(mobile(rng)) : std::nullopt,
                rng.chance(0.02) ? Opt("049 " + digits(rng, 7)) : std::nullopt,
                rng.chance(0.7) ? Opt(email(p, rng)) : std::nullopt,
                rng.chance(0.03) ? Opt(asciiLetters(p.name, false) + "." + asciiLetters(p.surname, false)) : std::nullopt,
                std::to_string(id), rng.chance(0.1) ? Opt(rng.pick(ClientNotes)) : std::nullopt,
                storedDate(join), cancelled, certificate, certificateExpiry, rng.chance(0.02),
                rng.chance(0.92), storedDate(registration), storedDate(paidUntil),
                int(types(rng) + 1), method,
                rng.chance(0.6) && !instructors.empty()
                    ? std::optional<int>(instructors[rng.below(uint32_t(instructors.size()))])
                    : std::nullopt,
                rng.chance(0.35) ? std::optional<int>(rng.range(1, int(std::size(SportsGroups)))) : std::nullopt,
                ctx.seasonOf(leave), qSurname, qName, qBirth, qPlace, qSex, qCode, qVat, qStreet,
                qTown, qNumber, qProv, qCap});
    }
}

inline void fillVisitors(Context& ctx) {
    static const char* const notes[] = {"Ingresso con coupon", "Amico di un cliente",
                                        "Giornata porte aperte", "Torneo estivo",
                                        "Ospite dell'albergo convenzionato"};
    Rng rng = ctx.rng("Occasionali");
    std::vector<int> entered(size_t(ctx.sizes.visitors));
    for (int& d : entered) d = ctx.today - int(rng.below(uint32_t(ctx.today - ctx.historyFrom)));
    std::sort(entered.begin(), entered.end());
    Stmt ins(*ctx.conn, "INSERT INTO Occasionali (Cognome, Nome, Note, Progressivo, DataInserimento, "
                    "DataInizio, Scadenza_cert_medico, Stagione_ID) VALUES (?,?,?,?,?,?,?,?)");
    for (size_t i = 0; i < entered.size(); ++i) {
        const Person p = person(ctx, rng, 16, 70);
        const int start = entered[i] + rng.range(0, 7);
        ins.values(std::tuple{p.surname, p.name,
                rng.chance(0.15) ? std::optional<std::string>(rng.pick(notes)) : std::nullopt,
                int(i + 1), storedDate(entered[i]), storedDate(start),
                rng.chance(0.6) ? std::optional(storedDate(start + rng.range(30, 365))) : std::nullopt,
                ctx.seasonOf(entered[i])});
    }
}

} // namespace gen
