#pragma once

// Catalogues of the large-database generator: foods with nutrient values per 100 g,
// muscle groups and their exercises, pathologies with their treatment.

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace gen {

// A food as bought; the generator derives two more forms from it (cooked, frozen, ...).
struct Food {
    const char* name;
    char gender;   // m, f, M (plural masculine), F (plural feminine): for the adjectives
    char category; // c cereals/legumes, m meat, p fish, v vegetables, f fruit, d dairy, o other
    double edible, water, protein, fat, carbs, fibre;
};

inline const Food Foods[] = {
    {"Pasta di semola", 'f', 'c', 100, 10.8, 10.9, 1.4, 79.1, 2.7},
    {"Pasta all'uovo", 'f', 'c', 100, 10.0, 13.0, 2.4, 75.0, 2.1},
    {"Riso", 'm', 'c', 100, 12.0, 6.7, 0.4, 80.4, 1.0},
    {"Riso parboiled", 'm', 'c', 100, 11.5, 7.4, 0.6, 77.6, 1.9},
    {"Farro", 'm', 'c', 100, 10.6, 15.1, 2.5, 67.1, 6.8},
    {"Orzo perlato", 'm', 'c', 100, 10.6, 10.4, 1.4, 70.5, 9.2},
    {"Quinoa", 'f', 'c', 100, 13.3, 14.1, 6.1, 64.2, 7.0},
    {"Couscous", 'm', 'c', 100, 9.0, 12.8, 0.6, 72.4, 5.0},
    {"Fagioli borlotti", 'M', 'c', 100, 10.4, 20.2, 2.0, 47.5, 17.3},
    {"Ceci", 'M', 'c', 100, 10.3, 21.8, 4.9, 46.9, 13.6},
    {"Lenticchie", 'F', 'c', 100, 11.5, 22.7, 2.5, 51.1, 13.8},
    {"Piselli secchi", 'M', 'c', 100, 13.0, 21.7, 2.0, 48.2, 15.7},
    {"Pane comune", 'm', 'c', 100, 29.0, 8.1, 0.5, 63.5, 3.8},
    {"Pane di segale", 'm', 'c', 100, 37.0, 8.3, 1.7, 45.8, 5.8},
    {"Fette biscottate", 'F', 'c', 100, 5.5, 11.3, 6.0, 82.3, 3.5},
    {"Fiocchi d'avena", 'M', 'c', 100, 8.2, 13.2, 7.0, 66.0, 10.0},
    {"Polenta", 'f', 'c', 100, 12.5, 8.7, 2.7, 80.8, 3.1},
    {"Gnocchi di patate", 'M', 'c', 100, 63.0, 4.2, 0.3, 33.1, 1.7},
    {"Petto di pollo", 'm', 'm', 100, 74.9, 23.3, 0.8, 0.0, 0.0},
    {"Fesa di tacchino", 'f', 'm', 100, 75.6, 24.0, 1.2, 0.0, 0.0},
    {"Manzo magro", 'm', 'm', 100, 73.0, 21.3, 2.9, 0.0, 0.0},
    {"Vitello", 'm', 'm', 100, 76.9, 20.7, 1.0, 0.0, 0.0},
    {"Lonza di maiale", 'f', 'm', 100, 72.0, 21.3, 8.0, 0.0, 0.0},
    {"Agnello", 'm', 'm', 75, 72.5, 20.0, 8.8, 0.0, 0.0},
    {"Coniglio", 'm', 'm', 72, 72.0, 21.5, 5.6, 0.0, 0.0},
    {"Cavallo", 'm', 'm', 100, 75.5, 19.8, 6.8, 0.0, 0.0},
    {"Prosciutto crudo", 'm', 'm', 100, 45.0, 27.8, 18.6, 0.0, 0.0},
    {"Bresaola", 'f', 'm', 100, 58.0, 32.0, 2.6, 0.0, 0.0},
    {"Salmone", 'm', 'p', 100, 63.6, 20.4, 12.0, 0.0, 0.0},
    {"Merluzzo", 'm', 'p', 100, 82.0, 17.0, 0.3, 0.0, 0.0},
    {"Tonno", 'm', 'p', 100, 60.0, 21.5, 8.1, 0.0, 0.0},
    {"Orata", 'f', 'p', 50, 76.0, 19.8, 3.8, 0.0, 0.0},
    {"Branzino", 'm', 'p', 55, 78.0, 16.5, 1.5, 0.0, 0.6},
    {"Sgombro", 'm', 'p', 70, 68.0, 17.0, 11.1, 0.5, 0.0},
    {"Gamberi", 'M', 'p', 55, 80.0, 13.6, 0.6, 2.9, 0.0},
    {"Calamari", 'M', 'p', 80, 78.0, 12.6, 1.7, 0.6, 0.0},
    {"Sogliola", 'f', 'p', 55, 80.0, 16.9, 1.4, 0.8, 0.0},
    {"Trota", 'f', 'p', 55, 78.0, 14.7, 3.0, 0.0, 0.0},
    {"Zucchine", 'F', 'v', 89, 93.6, 1.3, 0.1, 1.4, 1.2},
    {"Spinaci", 'M', 'v', 80, 90.1, 3.4, 0.7, 2.9, 1.9},
    {"Broccoli", 'M', 'v', 60, 90.0, 3.0, 0.4, 3.1, 3.1},
    {"Carote", 'F', 'v', 95, 91.6, 1.1, 0.2, 7.6, 3.1},
    {"Pomodori", 'M', 'v', 100, 94.2, 1.0, 0.2, 3.5, 1.0},
    {"Melanzane", 'F', 'v', 92, 92.7, 1.1, 0.1, 2.6, 2.6},
    {"Peperoni", 'M', 'v', 82, 92.3, 0.9, 0.3, 4.2, 1.9},
    {"Fagiolini", 'M', 'v', 90, 90.5, 2.1, 0.1, 2.4, 2.9},
    {"Cavolfiore", 'm', 'v', 66, 90.5, 3.2, 0.2, 2.7, 2.4},
    {"Finocchi", 'M', 'v', 83, 93.2, 1.2, 0.0, 1.0, 2.2},
    {"Lattuga", 'f', 'v', 80, 94.3, 1.8, 0.4, 2.2, 1.5},
    {"Rucola", 'f', 'v', 100, 91.0, 2.6, 0.3, 3.9, 0.9},
    {"Patate", 'F', 'v', 83, 78.5, 2.1, 1.0, 17.9, 1.6},
    {"Zucca", 'f', 'v', 80, 94.6, 1.1, 0.1, 3.5, 1.0},
    {"Carciofi", 'M', 'v', 34, 84.0, 2.7, 0.2, 2.5, 5.5},
    {"Asparagi", 'M', 'v', 56, 91.4, 3.6, 0.2, 3.3, 2.1},
    {"Funghi champignon", 'M', 'v', 97, 91.0, 3.7, 0.4, 0.8, 2.3},
    {"Mela", 'f', 'f', 85, 85.6, 0.2, 0.1, 13.7, 2.0},
    {"Pera", 'f', 'f', 90, 87.4, 0.3, 0.1, 8.8, 3.8},
    {"Banana", 'f', 'f', 65, 76.8, 1.2, 0.3, 15.4, 1.8},
    {"Arancia", 'f', 'f', 80, 87.2, 0.7, 0.2, 7.8, 1.6},
    {"Kiwi", 'm', 'f', 83, 84.6, 1.2, 0.6, 9.0, 2.2},
    {"Fragole", 'F', 'f', 94, 90.5, 0.9, 0.4, 5.3, 1.6},
    {"Pesca", 'f', 'f', 91, 90.7, 0.8, 0.1, 6.1, 1.6},
    {"Albicocche", 'F', 'f', 94, 86.3, 0.4, 0.1, 6.8, 1.5},
    {"Ananas", 'm', 'f', 57, 86.4, 0.5, 0.0, 10.0, 1.0},
    {"Uva", 'f', 'f', 94, 80.3, 0.5, 0.1, 15.6, 1.5},
    {"Prugne", 'F', 'f', 92, 87.5, 0.5, 0.1, 10.5, 1.5},
    {"Mirtilli", 'M', 'f', 100, 85.0, 0.9, 0.2, 5.1, 3.1},
    {"Fichi", 'M', 'f', 75, 81.9, 0.9, 0.2, 11.2, 2.0},
    {"Latte vaccino", 'm', 'd', 100, 87.0, 3.3, 3.6, 4.9, 0.0},
    {"Yogurt bianco", 'm', 'd', 100, 87.5, 3.8, 3.9, 4.3, 0.0},
    {"Yogurt greco", 'm', 'd', 100, 80.0, 9.0, 5.0, 4.0, 0.0},
    {"Ricotta di vacca", 'f', 'd', 100, 75.7, 8.8, 10.9, 3.5, 0.0},
    {"Mozzarella", 'f', 'd', 100, 60.1, 18.7, 19.5, 0.7, 0.0},
    {"Parmigiano", 'm', 'd', 100, 29.5, 33.5, 28.1, 0.0, 0.0},
    {"Fiocchi di latte", 'M', 'd', 100, 79.0, 12.0, 4.3, 3.0, 0.0},
    {"Stracchino", 'm', 'd', 100, 53.5, 18.5, 25.1, 0.0, 0.0},
    {"Grana Padano", 'm', 'd', 100, 32.0, 33.0, 28.5, 0.0, 0.0},
    {"Kefir", 'm', 'd', 100, 89.0, 3.4, 1.5, 4.5, 0.0},
    {"Uova di gallina", 'F', 'o', 88, 76.2, 12.4, 8.7, 0.0, 0.0},
    {"Olio extravergine d'oliva", 'm', 'o', 100, 0.0, 0.0, 99.9, 0.0, 0.0},
    {"Burro", 'm', 'o', 100, 13.8, 0.8, 83.4, 1.1, 0.0},
    {"Miele", 'm', 'o', 100, 18.0, 0.6, 0.0, 80.3, 0.0},
    {"Marmellata", 'f', 'o', 100, 37.0, 0.5, 0.0, 58.7, 1.1},
    {"Cioccolato fondente", 'm', 'o', 100, 0.5, 6.6, 33.6, 49.7, 8.0},
    {"Mandorle", 'F', 'o', 100, 5.1, 22.0, 55.3, 4.6, 12.7},
    {"Noci", 'F', 'o', 39, 3.5, 14.3, 68.1, 5.1, 6.2},
    {"Nocciole", 'F', 'o', 40, 4.8, 13.8, 64.1, 6.1, 8.1},
    {"Biscotti secchi", 'M', 'o', 100, 4.2, 6.6, 7.9, 84.8, 2.5},
    {"Barretta proteica", 'f', 'o', 100, 12.0, 33.0, 9.0, 35.0, 5.0},
    {"Proteine del siero", 'F', 'o', 100, 5.0, 80.0, 6.0, 6.0, 0.0},
    {"Crackers", 'M', 'o', 100, 5.6, 9.4, 10.0, 80.2, 2.8},
    {"Gallette di riso", 'F', 'o', 100, 6.0, 8.0, 2.8, 81.0, 3.3},
    {"Tofu", 'm', 'o', 100, 84.6, 12.0, 4.8, 0.7, 0.3},
    {"Hummus di ceci", 'm', 'o', 100, 65.0, 7.9, 9.6, 14.3, 6.0},
    {"Burro d'arachidi", 'm', 'o', 100, 1.2, 25.1, 50.4, 15.8, 6.0},
    {"Succo d'arancia", 'm', 'o', 100, 89.0, 0.7, 0.2, 10.1, 0.2},
    {"Bevanda di soia", 'f', 'o', 100, 91.0, 2.9, 1.9, 0.8, 0.6},
    {"Caffè espresso", 'm', 'o', 100, 97.0, 0.1, 0.2, 1.7, 0.0},
    {"Tè verde", 'm', 'o', 100, 99.5, 0.0, 0.0, 0.3, 0.0},
};

// Adjective of a derived form, agreeing with the food's gender.
inline std::string agree(const char* stem, char gender) {
    const std::string s(stem);
    const bool hard = s.size() >= 2 && s.compare(s.size() - 1, 1, "c") == 0; // biologic-
    switch (gender) {
    case 'f': return s + "a";
    case 'M': return s + "i";
    case 'F': return s + (hard ? "he" : "e");
    default: return s + "o";
    }
}

struct Nutrients {
    double edible, water, protein, fat, carbs, fibre, kcal;
};

inline double kcalOf(double protein, double fat, double carbs) {
    return protein * 4.0 + fat * 9.0 + carbs * 3.75;
}

// The three forms of a food: as bought, and two derived by its category.
inline std::vector<std::pair<std::string, Nutrients>> foodForms(const Food& f) {
    const Nutrients base{f.edible, f.water, f.protein, f.fat, f.carbs, f.fibre,
                         kcalOf(f.protein, f.fat, f.carbs)};
    // New water content: the dry matter scales with it.
    auto withWater = [&](double water, double edible) {
        const double k = f.water >= 99.9 ? 1.0 : (100 - water) / (100 - f.water);
        return Nutrients{edible, water, f.protein * k, f.fat * k, f.carbs * k, f.fibre * k,
                         kcalOf(f.protein * k, f.fat * k, f.carbs * k)};
    };
    std::vector<std::pair<std::string, Nutrients>> out;
    out.emplace_back(f.name, base);
    const std::string n(f.name);
    switch (f.category) {
    case 'c':
        out.emplace_back(n + ", " + agree("cott", f.gender), withWater(std::max(f.water, 64.0), 100));
        out.emplace_back(n + ", " + agree("biologic", f.gender), base);
        break;
    case 'm':
        out.emplace_back(n + ", alla griglia", withWater(f.water * 0.82, 100));
        out.emplace_back(n + ", al forno", withWater(f.water * 0.86, f.edible));
        break;
    case 'p':
        out.emplace_back(n + ", al vapore", withWater(f.water * 0.95, f.edible));
        out.emplace_back(n + ", " + agree("surgelat", f.gender), base);
        break;
    case 'v':
        out.emplace_back(n + ", " + agree("bollit", f.gender), withWater(std::min(f.water + 1.5, 97.0), 100));
        out.emplace_back(n + ", " + agree("surgelat", f.gender), withWater(f.water, 100));
        break;
    case 'f': {
        Nutrients syrup = base;
        syrup.carbs += 12;
        syrup.water -= 12;
        syrup.edible = 100;
        syrup.kcal = kcalOf(syrup.protein, syrup.fat, syrup.carbs);
        out.emplace_back(n + ", " + agree("sciroppat", f.gender), syrup);
        out.emplace_back(n + ", " + agree("essiccat", f.gender), withWater(20, 100));
        break;
    }
    case 'd': {
        Nutrients light = base;
        light.water += light.fat * 0.6;
        light.fat *= 0.4;
        light.kcal = kcalOf(light.protein, light.fat, light.carbs);
        out.emplace_back(n + ", light", light);
        out.emplace_back(n + ", " + agree("biologic", f.gender), base);
        break;
    }
    default:
        out.emplace_back(n + ", " + agree("biologic", f.gender), base);
        out.emplace_back(n + ", confezione famiglia", base);
        break;
    }
    return out;
}

// Muscle groups and, for each, exercise bases and the ways they are done.
struct ExerciseFamily {
    const char* group;
    const char* bases[5];
    const char* variants[3];
};

inline const ExerciseFamily ExerciseFamilies[] = {
    {"Pettorali", {"Panca piana", "Panca inclinata", "Croci", "Distensioni", "Piegamenti"},
     {"con bilanciere", "con manubri", "alla macchina"}},
    {"Dorsali", {"Lat machine", "Rematore", "Pulley", "Trazioni", "Pullover"},
     {"presa larga", "presa stretta", "presa inversa"}},
    {"Deltoidi", {"Lento avanti", "Alzate laterali", "Alzate frontali", "Tirate al mento", "Arnold press"},
     {"con manubri", "al cavo", "con bilanciere"}},
    {"Bicipiti", {"Curl", "Curl a martello", "Curl di concentrazione", "Curl su panca Scott", "Curl alternato"},
     {"con manubri", "con bilanciere EZ", "al cavo basso"}},
    {"Tricipiti", {"French press", "Push down", "Dip", "Kick back", "Estensioni sopra la testa"},
     {"con manubrio", "al cavo", "alla macchina"}},
    {"Quadricipiti", {"Squat", "Leg extension", "Affondi", "Pressa", "Step-up"},
     {"con bilanciere", "con manubri", "a corpo libero"}},
    {"Femorali", {"Leg curl", "Stacco rumeno", "Good morning", "Nordic curl", "Stacco a gambe tese"},
     {"sdraiato", "in piedi", "con bilanciere"}},
    {"Glutei", {"Hip thrust", "Slanci posteriori", "Ponte gluteo", "Abduzioni", "Squat sumo"},
     {"con bilanciere", "al cavo", "con elastico"}},
    {"Polpacci", {"Calf raise", "Calf alla pressa", "Saltelli", "Calf seduto", "Camminata sulle punte"},
     {"in piedi", "monopodalico", "con manubri"}},
    {"Addominali", {"Crunch", "Plank", "Sollevamento gambe", "Russian twist", "Rollout"},
     {"a terra", "alla fitball", "con sovraccarico"}},
    {"Lombari", {"Hyperextension", "Superman", "Bird dog", "Stacco da terra", "Estensioni del busto"},
     {"a corpo libero", "con disco", "alla panca romana"}},
    {"Trapezio", {"Scrollate", "Tirate al mento", "Farmer walk", "Face pull", "Y-raise"},
     {"con manubri", "con bilanciere", "al cavo"}},
    {"Avambracci", {"Flessioni del polso", "Estensioni del polso", "Presa isometrica", "Wrist roller", "Pinch grip"},
     {"con manubrio", "con bilanciere", "con disco"}},
    {"Adduttori", {"Adductor machine", "Affondo laterale", "Copenhagen plank", "Adduzioni al cavo", "Squat a gambe larghe"},
     {"lento", "esplosivo", "con fermo isometrico"}},
};

inline const char* const ExerciseHowTo[] = {
    "Mantenere la schiena in posizione neutra; espirare nella fase di spinta.",
    "Eseguire il movimento in modo controllato, senza slanci; 2 secondi in discesa.",
    "Scapole addotte e depresse; non bloccare le articolazioni a fine movimento.",
    "Riscaldamento con una serie leggera; aumentare il carico solo con la tecnica corretta.",
    "Addome contratto per tutta l'esecuzione; evitare di inarcare la zona lombare.",
    "Ginocchia in linea con le punte dei piedi; talloni sempre a terra.",
};

struct Pathology {
    const char* name;
    const char* cure;
};

inline const Pathology Pathologies[] = {
    {"Ipertensione arteriosa", "Attività aerobica moderata; evitare apnee e carichi massimali."},
    {"Diabete mellito tipo 2", "Controllo della glicemia prima dell'allenamento; tenere zuccheri a portata di mano."},
    {"Lombalgia cronica", "Esercizi di stabilizzazione del core; niente carichi assiali pesanti."},
    {"Ernia del disco L4-L5", "Ginnastica posturale; evitare flessioni del busto sotto carico."},
    {"Tendinite della cuffia dei rotatori", "Rinforzo degli extrarotatori con elastico; niente lento dietro."},
    {"Condropatia rotulea", "Leg extension solo nell'ultimo tratto; preferire la bicicletta."},
    {"Asma bronchiale", "Riscaldamento graduale; broncodilatatore a disposizione."},
    {"Scoliosi", "Ginnastica correttiva; nuoto a dorso."},
    {"Artrosi del ginocchio", "Esercizi in scarico, acquagym, bicicletta."},
    {"Epicondilite", "Riposo funzionale; stretching degli estensori del polso."},
    {"Fascite plantare", "Stretching del polpaccio; evitare la corsa su superfici dure."},
    {"Ipotiroidismo", "Nessuna limitazione particolare; monitorare la stanchezza."},
    {"Celiachia", "Attenzione alle integrazioni: solo prodotti senza glutine."},
    {"Osteoporosi", "Esercizi con carico progressivo; evitare torsioni brusche del busto."},
    {"Cervicalgia", "Mobilizzazione del collo; evitare il lavoro sopra la testa."},
    {"Sindrome del tunnel carpale", "Evitare prese prolungate; usare i polsini."},
    {"Distorsione della caviglia", "Esercizi propriocettivi su tavoletta."},
    {"Lesione del legamento crociato anteriore", "Programma riabilitativo concordato con il fisioterapista."},
    {"Insufficienza venosa", "Attività in acqua; evitare la stazione eretta prolungata."},
    {"Ipercolesterolemia", "Attività aerobica regolare; dieta concordata con il nutrizionista."},
    {"Pubalgia", "Rinforzo degli adduttori; niente cambi di direzione bruschi."},
    {"Spalla congelata", "Mobilizzazione passiva e attiva assistita."},
    {"Tendinopatia achillea", "Esercizi eccentrici per il polpaccio."},
    {"Sovrappeso", "Attività aerobica a bassa intensità e lunga durata."},
    {"Emicrania", "Evitare allenamenti a digiuno; idratazione."},
    {"Aritmia cardiaca", "Solo con nulla osta del cardiologo; cardiofrequenzimetro."},
    {"Protesi d'anca", "Evitare adduzioni oltre la linea mediana e flessioni oltre 90°."},
    {"Gravidanza", "Ginnastica dolce; niente esercizi in posizione prona."},
    {"Anemia sideropenica", "Intensità moderata; controllo periodico dell'emoglobina."},
    {"Dorsalgia", "Rinforzo dei romboidi; stretching dei pettorali."},
    {"Coxartrosi", "Nuoto e bicicletta; evitare i salti."},
    {"Borsite della spalla", "Riposo dal lavoro sopra la testa; ghiaccio dopo l'allenamento."},
    {"Meniscopatia", "Evitare squat profondi e torsioni del ginocchio."},
    {"Allergia al lattice", "Usare elastici e tappetini senza lattice."},
    {"Ipotensione", "Evitare i passaggi rapidi da sdraiato a in piedi."},
    {"Sindrome dell'intestino irritabile", "Nessuna limitazione; attenzione all'alimentazione pre-allenamento."},
};

} // namespace gen
