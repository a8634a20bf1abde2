#pragma once

// Generator: timetable and enrolments, payments, deadlines, attendances, and the clients'
// training programmes, diets and pathologies.

#include "gen_people.h"

#include <algorithm>
#include <string>
#include <tuple>

namespace gen {

// The instructors of a specialty: staff whose job teaches it, else any instructor.
inline std::vector<int> teachersOf(const Context& ctx, const Specialty& sp) {
    const std::string name = sp.name;
    auto wanted = [&](const std::string& job) {
        if (sp.pool) return job == "Istruttore di nuoto";
        if (name == "Yoga") return job == "Istruttore di yoga";
        if (name == "Pilates" || name == "Ginnastica posturale" || name == "Ginnastica dolce")
            return job == "Istruttore di pilates";
        if (name == "Karate" || name == "Kickboxing" || name == "Boxe")
            return job == "Istruttore di arti marziali";
        if (name == "Sala pesi" || name == "Cross training" || name == "Functional training")
            return job == "Istruttore sala pesi" || job == "Personal trainer";
        return job == "Istruttore di fitness";
    };
    std::vector<int> out, any;
    for (const auto& s : ctx.staff) {
        if (!s.teaches || s.cancelled) continue;
        any.push_back(s.id);
        if (wanted(Jobs[s.job].name)) out.push_back(s.id);
    }
    return out.empty() ? any : out;
}

inline void fillTimetable(Context& ctx) {
    Rng rng = ctx.rng("orari");
    std::vector<double> w;
    for (const auto& sp : Specialties) w.push_back(std::string(sp.name) == "Sala pesi" ? 6 : sp.pool ? 3 : 1.5);
    const Weighted specialties(w);
    // Busy hours: early morning, lunch time and evening.
    static const int starts[] = {7 * 60, 8 * 60, 9 * 60, 9 * 60 + 30, 10 * 60, 11 * 60, 12 * 60 + 30,
                                 13 * 60, 14 * 60, 16 * 60, 17 * 60, 17 * 60 + 30, 18 * 60,
                                 18 * 60 + 30, 19 * 60, 19 * 60 + 30, 20 * 60, 20 * 60 + 30, 21 * 60};
    Stmt ins(*ctx.conn, "INSERT INTO orari (Id, Specialita, Corso, Giorno, OrarioInizio, OrarioFine, "
                    "Istruttore_ID) VALUES (?,?,?,?,?,?,?)");
    for (int id = 1; id <= ctx.sizes.slots; ++id) {
        const int sp = int(specialties(rng));
        const int day = rng.chance(0.03) ? 6 : int(rng.below(6));
        const int start = rng.pick(starts) + (rng.chance(0.2) ? 15 : 0);
        const int end = std::min(start + Specialties[sp].minutes, 23 * 60);
        const std::vector<int> teachers = teachersOf(ctx, Specialties[sp]);
        const int teacher = teachers[rng.below(uint32_t(teachers.size()))];
        ctx.slots.push_back({id, sp, day, start, end, teacher});
        ins.values(std::tuple{id, Specialties[sp].name, rng.pick(Courses), Weekdays[day], hhmm(start),
                              hhmm(end), teacher});
    }

    Rng enrol = ctx.rng("ClienteOrari");
    Stmt link(*ctx.conn, "INSERT INTO ClienteOrari (Cliente_ID, Orario_ID, OrarioInizio, OrarioFine) VALUES (?,?,?,?)");
    for (const Client& c : ctx.clients) {
        if (c.cancelled || !enrol.chance(c.active ? 0.75 : 0.2)) continue;
        const int n = enrol.range(1, 3);
        std::vector<int> chosen;
        while (int(chosen.size()) < n) {
            const int s = int(enrol.below(uint32_t(ctx.slots.size())));
            if (std::find(chosen.begin(), chosen.end(), s) == chosen.end()) chosen.push_back(s);
        }
        for (int s : chosen) {
            const Slot& slot = ctx.slots[size_t(s)];
            // Some clients come a little later or leave earlier than the class.
            const int late = enrol.chance(0.1) ? 15 : 0;
            link.row(c.id, slot.id, hhmm(slot.start + late), hhmm(slot.end));
        }
    }
}

// Picks clients in proportion to the days of their activity inside a window of days.
class ClientPicker {
public:
    ClientPicker(const Context& ctx, int from, int to, int extra) : m_ctx(ctx) {
        std::vector<double> w;
        for (const Client& c : ctx.clients) {
            const int a = std::max(c.join, from), b = std::min(c.leave + (c.active ? extra : 0), to);
            w.push_back(b > a ? b - a : 0);
            m_span.emplace_back(a, std::max(a, b));
        }
        m_weights = Weighted(w);
    }
    // A client and a day of their activity.
    std::pair<const Client*, int> operator()(Rng& rng) const {
        const size_t i = m_weights(rng);
        const auto [a, b] = m_span[i];
        return {&m_ctx.clients[i], a + int(rng.below(uint32_t(std::max(1, b - a))))};
    }

private:
    const Context& m_ctx;
    Weighted m_weights;
    std::vector<std::pair<int, int>> m_span;
};

inline double amountFor(Rng& rng, double base) {
    const double r = rng.unit();
    if (r < 0.75) return base;
    if (r < 0.87) return cents(base * (1 - 0.05 * rng.range(1, 4))); // discount 5-20%
    return cents(base * (0.3 + 0.7 * rng.unit()));                   // a part payment
}

inline void fillPayments(Context& ctx) {
    Rng rng = ctx.rng("Pagamenti");
    std::vector<double> w;
    for (const auto& op : Operations) w.push_back(op.weight);
    const Weighted ops(w);
    const ClientPicker pick(ctx, ctx.historyFrom, ctx.today, 0);
    struct Row { int day, client, op; double amount; int method; int note; };
    std::vector<Row> rows(size_t(ctx.sizes.payments));
    for (Row& r : rows) {
        const auto [client, day] = pick(rng);
        r.day = day;
        r.client = client->id;
        r.op = int(ops(rng));
        r.amount = amountFor(rng, Operations[r.op].amount);
        r.method = rng.chance(0.7) ? client->payMethod : rng.range(1, int(std::size(PaymentMethods)));
        r.note = rng.chance(0.08) ? int(rng.below(std::size(PaymentNotes))) : -1;
    }
    // Payments are entered day by day, so keys grow with the date.
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.day < b.day; });
    Stmt ins(*ctx.conn, "INSERT INTO Pagamenti (Cliente_ID, Data, Operazione, Importo, ModPagamento_Id, Note) VALUES (?,?,?,?,?,?)");
    for (const Row& r : rows)
        ins.row(r.client, storedDate(r.day), Operations[r.op].name, r.amount, r.method,
                r.note < 0 ? std::optional<const char*>() : std::optional(PaymentNotes[r.note]));
}

inline void fillDeadlines(Context& ctx) {
    Rng rng = ctx.rng("Scadenze");
    const ClientPicker pick(ctx, ctx.historyFrom, ctx.today + 365, 365);
    // Instalments are of subscriptions, enrolments, courses and insurance.
    std::vector<int> instalments;
    for (size_t i = 0; i < std::size(Operations); ++i)
        for (const char* prefix : {"Abbonamento", "Iscrizione", "Corso", "Carnet", "Quota"})
            if (std::string_view(Operations[i].name).starts_with(prefix)) instalments.push_back(int(i));
    struct Row { int due; std::optional<int> paid; int client; int op; double amount; std::optional<int> method; };
    std::vector<Row> rows(size_t(ctx.sizes.deadlines));
    for (Row& r : rows) {
        if (rng.chance(0.12)) { // the centre's own bills
            r.client = 0;
            r.op = int(rng.below(std::size(Suppliers)));
            r.due = ctx.historyFrom + int(rng.below(uint32_t(ctx.today + 365 - ctx.historyFrom)));
            r.amount = cents(Suppliers[r.op].amount * (0.85 + 0.3 * rng.unit()));
        } else {
            const auto [client, day] = pick(rng);
            r.client = client->id;
            r.due = day;
            r.op = instalments[rng.below(uint32_t(instalments.size()))];
            r.amount = amountFor(rng, Operations[r.op].amount);
        }
        if (r.due < ctx.today ? rng.chance(0.9) : rng.chance(0.06))
            r.paid = std::min(ctx.today, r.due + rng.range(-15, 20));
        if (rng.chance(0.7)) r.method = rng.range(1, int(std::size(PaymentMethods)));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.due < b.due; });
    Stmt ins(*ctx.conn, "INSERT INTO Scadenze (Cliente_ID, DataScadenza, Operazione, Importo, DataPagamento, "
                    "Beneficiario, ModPagamento_Id) VALUES (?,?,?,?,?,?,?)");
    for (const Row& r : rows) {
        const std::optional<std::string> paid = r.paid ? std::optional(storedDate(*r.paid)) : std::nullopt;
        if (r.client == 0)
            ins.row(Null{}, storedDate(r.due), Suppliers[r.op].operation, r.amount, paid,
                    Suppliers[r.op].beneficiary, r.method);
        else
            ins.row(r.client, storedDate(r.due), Operations[r.op].name, r.amount,
                    paid, ctx.clients[size_t(r.client - 1)].documentName, r.method);
    }
}

inline void fillCalendar(Context& ctx) {
    Rng rng = ctx.rng("Calendario");
    const ClientPicker pick(ctx, ctx.historyFrom, ctx.today + 30, 30);
    std::vector<int> byDay[7];
    for (size_t i = 0; i < ctx.slots.size(); ++i) byDay[ctx.slots[i].weekday].push_back(int(i));
    std::vector<int> trainers;
    for (const auto& s : ctx.staff)
        if (s.teaches && !s.cancelled && std::string(Jobs[s.job].name) == "Personal trainer") trainers.push_back(s.id);
    if (trainers.empty()) trainers.push_back(ctx.slots.front().instructor);
    struct Row { int day, start, end, staff, client, note; const char* specialty; };
    std::vector<Row> rows(size_t(ctx.sizes.calendar));
    for (Row& r : rows) {
        r.note = rng.chance(0.05) ? int(rng.below(std::size(CalendarNotes))) : -1;
        if (rng.chance(0.02)) { // staff meetings: no client
            r.day = ctx.historyFrom + int(rng.below(uint32_t(ctx.today + 30 - ctx.historyFrom)));
            r.start = 14 * 60;
            r.end = 15 * 60 + 30;
            r.staff = ctx.slots[rng.below(uint32_t(ctx.slots.size()))].instructor;
            r.client = 0;
            r.specialty = "Riunione istruttori";
            continue;
        }
        const auto [client, day] = pick(rng);
        r.day = day;
        r.client = client->id;
        const auto& slots = byDay[weekday(day)];
        if (slots.empty() || rng.chance(0.15)) {
            r.start = 7 * 60 + 30 * rng.range(0, 27);
            r.end = r.start + 60;
            r.staff = trainers[rng.below(uint32_t(trainers.size()))];
            r.specialty = "Personal training";
        } else {
            const Slot& s = ctx.slots[size_t(slots[rng.below(uint32_t(slots.size()))])];
            r.start = s.start;
            r.end = s.end;
            r.staff = s.instructor;
            r.specialty = Specialties[s.specialty].name;
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return std::tie(a.day, a.start) < std::tie(b.day, b.start);
    });
    const Ymd now = civilFromDays(ctx.today);
    const int yearStart = daysFromCivil(now.y, 1, 1);
    Stmt ins(*ctx.conn, "INSERT INTO Calendario (DataInizio, DataFine, Personale_Id, Personale, Cliente_Id, "
                    "Cliente, Specialita, Note, DurataOre, DurataMinuti, Concluso, Storico) "
                    "VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
    Rng done = ctx.rng("Calendario.Concluso");
    for (const Row& r : rows) {
        const bool concluded = r.day < ctx.today && done.chance(0.96);
        const int minutes = r.end - r.start;
        const StaffMember& st = ctx.staff[size_t(r.staff - 1)];
        ins.row(storedDate(r.day, r.start), storedDate(r.day, r.end), r.staff, st.calendarName,
                r.client ? std::optional(r.client) : std::nullopt,
                r.client ? std::optional(ctx.clients[size_t(r.client - 1)].documentName) : std::nullopt,
                r.specialty, r.note < 0 ? std::optional<const char*>() : std::optional(CalendarNotes[r.note]),
                minutes / 60.0, minutes, concluded, concluded && r.day < yearStart);
    }
}

inline void fillProgrammes(Context& ctx) {
    Rng rng = ctx.rng("Programmi");
    Stmt diet(*ctx.conn, "INSERT INTO ClienteDieta (Cliente_ID, ID_pasto, ID_Alimento, QTA_GRAMMI) VALUES (?,?,?,?)");
    Stmt training(*ctx.conn, "INSERT INTO ClienteEsercizi (Cliente_ID, Esercizio_ID, EsercizioDescrizione, "
                         "Serie, Quantita, Pausa, Note) VALUES (?,?,?,?,?,?,?)");
    Stmt sick(*ctx.conn, "INSERT INTO ClientePatologia (Cliente_ID, Patologia_ID, DataInizio, DataFine, Note) VALUES (?,?,?,?,?)");
    static const char* const trainingNotes[] = {"Carico 20 kg", "Aumentare gradualmente",
                                                "Solo con assistenza", "Tempo 3-1-2",
                                                "Fermo di un secondo"};
    // Categories ("cmpvfdo") a meal draws from, and grams per portion of each category.
    static const char* const mealCategories[] = {"dfco", "fdo", "cmpvo", "fdo", "cmpvo"};
    static const int grams[][2] = {{60, 100}, {100, 180}, {120, 200}, {150, 250}, {120, 200}, {125, 250}, {10, 40}};
    static const std::string_view categories = "cmpvfdo";
    for (const Client& c : ctx.clients) {
        if (rng.chance(0.15) && ctx.meals > 0) {
            for (int meal = 1; meal <= ctx.meals; ++meal) {
                const std::string_view cats = mealCategories[std::min<size_t>(size_t(meal - 1), 4)];
                const int n = rng.range(2, 4);
                for (int k = 0; k < n; ++k) {
                    const size_t cat = categories.find(cats[rng.below(uint32_t(cats.size()))]);
                    const auto& ids = ctx.foodsByCategory[cat];
                    const int food = ids[rng.below(uint32_t(ids.size()))];
                    const int g = rng.range(grams[cat][0] / 5, grams[cat][1] / 5) * 5;
                    diet.row(c.id, meal, food, double(g));
                }
            }
        }
        if (rng.chance(c.active ? 0.6 : 0.25)) {
            const int n = rng.range(6, 12);
            for (int k = 0; k < n; ++k) {
                const auto& [id, name] = ctx.exercises[rng.below(uint32_t(ctx.exercises.size()))];
                training.values(std::tuple{c.id, id, name, rng.range(3, 5), rng.range(8, 15),
                                           15 * rng.range(3, 8),
                                           rng.chance(0.1) ? std::optional(rng.pick(trainingNotes)) : std::nullopt});
            }
        }
        if (rng.chance(0.15)) {
            const int n = rng.range(1, 2);
            for (int k = 0; k < n; ++k) {
                const int start = c.join - rng.range(0, 1500); // the client was at least five then
                const std::optional<std::string> end =
                    rng.chance(0.4) ? std::optional(storedDate(std::min(ctx.today, start + rng.range(20, 400))))
                                    : std::nullopt;
                sick.values(std::tuple{c.id, rng.range(1, ctx.pathologies), storedDate(start), end,
                                       rng.chance(0.2) ? std::optional<const char*>("Certificato del medico curante in archivio")
                                                       : std::nullopt});
            }
        }
    }
}

} // namespace gen
