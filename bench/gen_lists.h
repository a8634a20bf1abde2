#pragma once

// Word lists of the large-database generator. Names come roughly in order of frequency
// (the generator picks them with Zipf-like weights) and include the apostrophes and
// accented letters that Italian names carry.

namespace gen {

inline const char* const Surnames[] = {
    "Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo", "Ricci",
    "Marino", "Greco", "Bruno", "Gallo", "Conti", "De Luca", "Mancini", "Costa", "Giordano",
    "Rizzo", "Lombardi", "Moretti", "Barbieri", "Fontana", "Santoro", "Mariani", "Rinaldi",
    "Caruso", "Ferrara", "Galli", "Martini", "Leone", "Longo", "Gentile", "Martinelli",
    "Vitale", "Lombardo", "Serra", "Coppola", "De Santis", "D'Angelo", "Marchetti", "Parisi",
    "Villa", "Conte", "Ferraro", "Ferri", "Fabbri", "Bianco", "Marini", "Grasso", "Valentini",
    "Messina", "Sala", "De Angelis", "Gatti", "Pellegrini", "Palumbo", "Sanna", "Farina",
    "Rizzi", "Monti", "Cattaneo", "Morelli", "Amato", "Silvestri", "Mazza", "Testa",
    "Grassi", "Pellegrino", "Carbone", "Giuliani", "Benedetti", "Barone", "Rossetti",
    "Caputo", "Montanari", "Guerra", "Palmieri", "Bernardi", "Martino", "Fiore", "De Rosa",
    "Ferretti", "Bellini", "Basile", "Riva", "Donati", "Piras", "Vitali", "Battaglia",
    "Sartori", "Neri", "Costantini", "Milani", "Pagano", "Ruggiero", "Sorrentino", "D'Amico",
    "Orlando", "Negri", "Rosso", "Rossini", "Rosati", "Rosa", "D'Alessandro", "D'Agostino",
    "Lo Russo", "La Rosa", "Di Stefano", "Di Giovanni", "Dell'Acqua", "Dell'Orto",
    "Sant'Elia", "Lucà", "Zappalà", "Cantù", "Macrì", "Nicolò", "Ferrè", "Cimò", "Mattè",
    "Fumagalli", "Brambilla", "Zanetti", "Zanella", "Bertolini", "Mazzoni", "Bonomi",
    "Tosi", "Bonetti", "Sacchi", "Pace", "Lupo", "Peluso", "Morabito", "Scalzo", "Tropea",
    "Pitzalis", "Melis", "Deiana", "Cocco", "Mura", "Zanon", "Bortolin", "Trevisan",
    "Pavan", "Furlan", "Zanin", "Baldan", "Scarpa", "Zago", "Benetton", "Gastaldello",
    "Di Pietro", "Dall'Ara", "Dal Santo", "Da Ros", "Del Piero", "Lo Iacono", "Li Causi",
    "Mastrogiacomo", "Licciardello", "Sciascia", "Campanella", "Bellomo", "Capuano",
    "Carnevale", "Cirillo", "Cocchi", "Colella", "Corradini", "Cozzi", "Cremonesi",
    "D'Urso", "D'Onofrio", "De Simone", "Del Gaudio", "Fabris", "Fadda", "Fiorini",
    "Franceschini", "Gallina", "Gennari", "Grillo", "Guidi", "Iacobelli", "Innocenti",
    "Lanza", "Lattanzi", "Lorusso", "Magnani", "Malagò", "Manfredi", "Marras", "Mele",
    "Minelli", "Mondini", "Nardi", "Orsini", "Pastore", "Perrone", "Piccolo", "Poletti",
    "Quaranta", "Rampazzo", "Roversi", "Rosselli", "Sabatini", "Salvi", "Sanfilippo",
    "Scotti", "Sereni", "Spanò", "Tedeschi", "Toniolo", "Valente", "Venturi", "Zambon",
};

inline const char* const MaleNames[] = {
    "Francesco", "Alessandro", "Andrea", "Lorenzo", "Matteo", "Leonardo", "Gabriele",
    "Mattia", "Riccardo", "Davide", "Tommaso", "Giuseppe", "Marco", "Luca", "Antonio",
    "Giovanni", "Roberto", "Stefano", "Paolo", "Simone", "Federico", "Niccolò", "Michele",
    "Filippo", "Pietro", "Salvatore", "Vincenzo", "Massimo", "Fabio", "Daniele", "Alberto",
    "Claudio", "Emanuele", "Enrico", "Giorgio", "Sergio", "Carlo", "Franco", "Mario",
    "Luigi", "Angelo", "Domenico", "Raffaele", "Gianluca", "Diego", "Samuele", "Nicolò",
    "Edoardo", "Jacopo", "Giacomo", "Manuel", "Nicola", "Cristian", "Elia", "Mosè", "Noè",
    "Aldo", "Bruno", "Renato", "Gianmarco", "Pierpaolo", "Ugo", "Rocco", "Santo", "Ivan",
    "Achille", "Alessio", "Amedeo", "Armando", "Arturo", "Cesare", "Dario", "Ettore",
    "Gino", "Guido", "Ignazio", "Loris", "Nazzareno", "Ottavio", "Rodolfo", "Tiziano",
};

inline const char* const FemaleNames[] = {
    "Sofia", "Giulia", "Aurora", "Alice", "Ginevra", "Emma", "Giorgia", "Greta", "Beatrice",
    "Anna", "Chiara", "Sara", "Martina", "Francesca", "Alessia", "Valentina", "Elisa",
    "Federica", "Silvia", "Elena", "Laura", "Paola", "Maria", "Rosa", "Giovanna", "Lucia",
    "Barbara", "Roberta", "Monica", "Cristina", "Simona", "Daniela", "Antonella", "Angela",
    "Patrizia", "Ilaria", "Noemi", "Arianna", "Camilla", "Viola", "Matilde", "Nicole",
    "Marta", "Irene", "Benedetta", "Caterina", "Agnese", "Ludovica", "Asia", "Rebecca",
    "Carlotta", "Adele", "Bianca", "Carla", "Teresa", "Concetta", "Carmela", "Annalisa",
    "Mariagrazia", "Zoè", "Gioia", "Liliana", "Fiorella", "Agata", "Ersilia", "Alba",
    "Ada", "Amalia", "Aurelia", "Débora", "Emanuela", "Gemma", "Letizia", "Loredana",
    "Marisa", "Nadia", "Ornella", "Rossella", "Stefania", "Tiziana",
};

inline const char* const Streets[] = {
    "Via Roma", "Via Giuseppe Garibaldi", "Via Giuseppe Mazzini", "Corso Vittorio Emanuele II",
    "Via Dante Alighieri", "Via XX Settembre", "Via Cavour", "Viale dei Mille",
    "Piazza dell'Unità d'Italia", "Via Sant'Antonio", "Via Niccolò Tommaseo",
    "Via Cesare Battisti", "Via Guglielmo Marconi", "Via Alessandro Manzoni", "Via Verdi",
    "Via Nazario Sauro", "Via della Repubblica", "Via IV Novembre", "Via San Francesco",
    "Via Aldo Moro", "Via Martiri della Libertà", "Via dell'Industria", "Via Trieste",
    "Via Trento", "Via Venezia", "Via Milano", "Viale Europa", "Via Leonardo da Vinci",
    "Via Galileo Galilei", "Via Enrico Fermi", "Via Giacomo Matteotti", "Via Antonio Gramsci",
    "Via Don Giovanni Minzoni", "Via Sant'Elia", "Via dei Colli", "Via Santa Lucia",
    "Via San Martino", "Via del Santo", "Riviera Tito Livio", "Via Jacopo Facciolati",
    "Via Goffredo Mameli", "Via Ugo Foscolo", "Via Piave", "Via Isonzo", "Via Nicolò Copernico",
    "Via Pietro d'Abano", "Via Bartolomeo Cristofori", "Vicolo dell'Orto", "Via Città di Padova",
    "Via Caduti sul Lavoro",
};

inline const char* const MailDomains[] = {
    "gmail.com", "libero.it", "hotmail.it", "yahoo.it", "alice.it", "outlook.it",
    "virgilio.it", "tiscali.it", "icloud.com", "fastwebnet.it",
};

// Municipalities of birth that are more common than a uniform draw would make them.
inline const char* const BigCities[] = {
    "Roma", "Milano", "Napoli", "Torino", "Palermo", "Bari", "Catania", "Venezia",
    "Verona", "Vicenza", "Treviso", "Rovigo", "Bologna", "Firenze", "Genova", "Reggio di Calabria",
};

struct Specialty {
    const char* name;
    int minutes;     // usual length of a lesson
    bool pool;       // taught in the pool
};

inline const Specialty Specialties[] = {
    {"Sala pesi", 90, false}, {"Nuoto", 45, true}, {"Acquagym", 45, true},
    {"Spinning", 45, false}, {"Pilates", 60, false}, {"Yoga", 75, false},
    {"Zumba", 60, false}, {"Functional training", 60, false}, {"Karate", 90, false},
    {"Kickboxing", 60, false}, {"Danza moderna", 60, false}, {"Ginnastica posturale", 60, false},
    {"Total body", 45, false}, {"GAG", 45, false}, {"Cross training", 60, false},
    {"Nuoto agonistico", 90, true}, {"Ginnastica dolce", 60, false}, {"Boxe", 90, false},
};

inline const char* const Courses[] = {
    "Principianti", "Intermedio", "Avanzato", "Bambini 6-10 anni", "Ragazzi 11-14 anni",
    "Over 60", "Agonisti", "Amatori", "Pausa pranzo", "Serale", "Mamme e neonati", "Open",
};

inline const char* const Weekdays[] = {
    "Lunedì", "Martedì", "Mercoledì", "Giovedì", "Venerdì", "Sabato", "Domenica",
};

struct Job {
    const char* name;
    double weight;
    bool teaches; // instructor: owns timetable slots and appointments
};

inline const Job Jobs[] = {
    {"Istruttore sala pesi", 20, true}, {"Istruttore di nuoto", 14, true},
    {"Personal trainer", 14, true}, {"Istruttore di fitness", 12, true},
    {"Istruttore di yoga", 5, true}, {"Istruttore di pilates", 6, true},
    {"Istruttore di arti marziali", 5, true}, {"Receptionist", 8, false},
    {"Fisioterapista", 4, false}, {"Nutrizionista", 2, false}, {"Massaggiatore", 3, false},
    {"Assistente bagnanti", 5, false}, {"Addetto alle pulizie", 5, false},
    {"Responsabile amministrativo", 1, false}, {"Manutentore", 2, false},
};

inline const char* const SportsGroups[] = {
    "Agonisti nuoto", "Amatori", "Over 60", "Juniores", "Master", "Gruppo mattina",
    "Università", "Convenzione aziendale", "Pre-agonisti", "Dopolavoro ferroviario",
    "Squadra di karate", "Gruppo dell'oratorio", "Circolo Sant'Antonio", "Famiglie",
};

inline const char* const PaymentMethods[] = {
    "Contanti", "Bancomat", "Carta di credito", "Bonifico bancario", "Assegno", "Satispay",
    "PayPal",
};

struct SubscriptionType {
    const char* name;
    double months;
};

inline const SubscriptionType SubscriptionTypes[] = {
    {"Mensile", 1}, {"Bimestrale", 2}, {"Trimestrale", 3}, {"Quadrimestrale", 4},
    {"Semestrale", 6}, {"Annuale", 12}, {"Ingresso singolo", 0}, {"Carnet 10 ingressi", 2},
    {"Open estivo", 3}, {"Corso nuoto bambini", 9},
};

struct Operation {
    const char* name;
    double amount; // default amount
    double weight; // how often it is paid
};

inline const Operation Operations[] = {
    {"Abbonamento mensile", 45.00, 34}, {"Iscrizione annuale", 30.00, 10},
    {"Abbonamento trimestrale", 120.00, 14}, {"Abbonamento semestrale", 220.00, 6},
    {"Abbonamento annuale", 400.00, 4}, {"Lezione di prova", 10.00, 2},
    {"Personal training", 35.00, 8}, {"Carnet 10 ingressi", 80.00, 6},
    {"Quota assicurativa", 15.00, 5}, {"Corso di nuoto", 60.00, 6},
    {"Visita medico-sportiva", 40.00, 2}, {"Noleggio armadietto", 5.50, 2},
    {"Integrazione abbonamento", 20.00, 2}, {"Ingresso giornaliero", 8.50, 4},
    {"Massaggio sportivo", 32.50, 2}, {"Consulenza nutrizionale", 45.00, 1},
};

inline const char* const PaymentNotes[] = {
    "Saldo", "Acconto", "Sconto famiglia 10%", "Pagato dal genitore", "Convenzione aziendale",
    "Ricevuta consegnata", "Rata 1 di 2", "Rata 2 di 2", "Promozione di settembre",
    "Rinnovo anticipato", "Sconto studenti", "Pagamento con buono regalo",
};

struct Supplier {
    const char* operation;
    const char* beneficiary;
    double amount;
};

inline const Supplier Suppliers[] = {
    {"Affitto locali", "Immobiliare Sant'Antonio S.r.l.", 3200.00},
    {"Bolletta energia elettrica", "Energia Veneta S.p.A.", 1450.80},
    {"Bolletta gas", "Gas Nord-Est S.p.A.", 980.35},
    {"Fornitura acqua", "Acquedotto dei Colli S.p.A.", 410.20},
    {"Manutenzione attrezzi", "Fitness Service di Zanon Luca & C. s.n.c.", 650.00},
    {"Consulenza fiscale", "Studio Commercialista Dott.ssa Lucà", 520.00},
    {"Assicurazione RC", "Assicurazioni del Santo S.p.A.", 1890.00},
    {"Pulizie straordinarie", "Cooperativa L'Aurora", 380.00},
    {"Prodotti per piscina", "Chimica D'Agostino S.r.l.", 745.60},
    {"Canone software", "Servizi Informatici Dell'Orto", 99.00},
};

inline const char* const CalendarNotes[] = {
    "Recupero lezione", "Lezione di prova gratuita", "Arrivato in ritardo",
    "Portare certificato medico", "Prima seduta", "Valutazione posturale",
    "Spostato dal giorno precedente", "Con un amico",
};

inline const char* const ClientNotes[] = {
    "Preferisce essere contattato via e-mail", "Allergico alle graminacee",
    "Ha un fratello iscritto", "Chiede la fattura a fine anno", "Viene solo la mattina",
    "Ex agonista di nuoto", "In attesa del certificato medico",
    "Convenzione con l'azienda del padre", "Non usare il cellulare dopo le 20",
};

inline const char* const Relations[] = {"madre", "padre"};

} // namespace gen
