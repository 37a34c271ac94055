#pragma once
// The words of the calculation report, shared by the word-processor report
// and the direct print.

#include <array>

namespace acquenza::report {

struct Entry {
    const char* symbol;
    const char* meaning;
};

inline constexpr const char* CriteriaFirst =
    "I calcoli idraulici delle condotte progettate sono stati eseguiti in considerazione della "
    "portata finale della tubazione e della eventuale erogazione d'acqua potabile uniformemente "
    "lungo il percorso di ogni singolo tronco.";
inline constexpr const char* CriteriaSecond =
    "La formula presa a base del calcolo delle perdite di carico, usata per ottenere il diametro "
    "necessario del tubo, è quella del Darcy:";
inline constexpr const char* DarcyFormula = "Y = B * L * Q ^ 2 / D ^ 5";
inline constexpr std::array<Entry, 5> DarcySymbols = {{
    {"Y", "perdita di carico in millimetri"},
    {"B",
     "coefficiente di scabrezza delle pareti dei tubi, con valore di 0.004 per condotte in uso "
     "e 0.0025 per condotte nuove"},
    {"L", "lunghezza del tronco in metri"},
    {"Q", "portata richiesta in metri cubi al secondo"},
    {"D", "diametro in metri della condotta"},
}};
inline constexpr std::array<const char*, 3> Procedure = {
    "Il procedimento di calcolo, eseguito in modo automatico, non usa la suddetta formula, "
    "inserendo le portate iniziali e finali del tronco, per avere la perdita di carico totale, ma "
    "divide il valore L (la lunghezza) in 14 tratti uguali, valuta per ognuno quale sia la "
    "portata finale e la perdita di carico nel punto individuato. In maniera iterativa, quindi, "
    "si stabilisce il diametro minimo del tubo per far salire l'acqua alle quote richieste.",
    "In questo modo il calcolo avrebbe fornito un diametro per ognuno dei 14 tratti considerati, "
    "ma per praticità esecutiva si prende in considerazione il maggiore dei risultati applicando, "
    "questa volta direttamente, la formula del Darcy una volta nota la sezione del tubo.",
    "La perdita di carico totale è ottenuta come sommatoria delle varie perdite di carico "
    "parziali per ognuno dei 14 tratti del tronco a cui è riferito il calcolo.",
};
inline constexpr const char* FireIntroduction =
    "La portata antincendio è calcolata automaticamente con la formula:";
inline constexpr const char* FireFormula = "Q = 4.5 * Sqr(P) - 0.045 * P";
inline constexpr std::array<Entry, 3> FireSymbols = {{
    {"Q", "portata antincendio da determinare"},
    {"Sqr", "radice quadrata"},
    {"P", "numero in migliaia degli abitanti serviti"},
}};
inline constexpr const char* FireParagraph =
    "Il tronco viene verificato in base a tale portata se nella tabella dei risultati è riportato "
    "'ant.' (antincendio) sotto la colonna che riguarda i valori della dotazione idrica "
    "giornaliera. In modo indifferente il calcolo è effettuato con riferimento alla portata lungo "
    "il tronco o alla sua estremità, secondo la posizione della presa d'acqua nella planimetria "
    "della rete idrica. In questi casi, poichè la portata è superiore a quella necessaria per i "
    "bisogni di ogni giorno dei residenti, il calcolo non prende in considerazione la dotazione "
    "idrica giornaliera, ma solo la popolazione servita.";
inline constexpr std::array<const char*, 2> DataParagraphs = {
    "I dati riportati nella sottostante tabella, introdotti cioè per la progettazione o la "
    "verifica della singola condotta, si riferiscono alla lunghezza, alla quota iniziale e finale "
    "del tronco e alle portate, qualora non ottenute dal numero dei residenti e dalla dotazione "
    "idrica giornaliera o come valutazione 'antincendio'.",
    "I risultati riguardano la perdita di carico uniforme, il progetto della sezione delle "
    "tubazioni, la velocità dell'acqua. Per quanto concerne la scabrezza si è usato il "
    "coefficiente 0.004 per i tubi in uso, mentre si è adottato il valore 0.0025 per le condotte "
    "con nuovi materiali. A tale proposito va considerato che anche il tubo nuovo nel tempo va "
    "incontro ad incrostazioni nelle pareti e ad un continuo invecchiamento. La scabrezza dipende "
    "anche dal materiale costituente la condotta e dalle eventuali e periodiche operazioni di "
    "pulitura, oltre che dal diametro. Nel progetto è adottato il valore che meglio rappresenta lo "
    "stato finale delle tubazioni in base alla prevedibile durata di funzionamento della condotta "
    "ed alla sua manutenzione.",
};
inline constexpr const char* MapParagraph =
    "Si riportano i risultati relativi ad i vari tratti di ogni tronco calcolato. La condotta è "
    "suddivisa in segmenti ognuno pari ad 1/14 della lunghezza totale, presupponendo una pendenza "
    "uniforme ed una altrettanto uniforme erogazione lungo il percorso. Con il calcolo si "
    "visualizza, al diminuire delle quota, il variare della perdita di carico e della portata "
    "d'acqua.";

// The first column of the table of data and results: the section's number.
// The others are the fields the project's table prints.
inline constexpr Entry SectionNumberLegend = {"tronco",
                                              "numero del tronco della rete dimensionato"};
inline constexpr const char* SectionNumberUnit = "n.";
inline constexpr Entry FireLegend = {"ant.", "calcolo effettuato con la portata antincendio"};

// The six rows of a section's map.
inline constexpr std::array<Entry, 6> MapRows = {{
    {"tr", "numero del tratto del tronco"},
    {"as", "ascissa in metri misurata lungo il percorso del tronco"},
    {"q0", "quota iniziale del tratto in metri"},
    {"q1", "quota finale del tratto in metri"},
    {"pc", "perdita di carico in metri nel tratto"},
    {"po", "portata d'acqua in litri al secondo nel tratto"},
}};

}  // namespace acquenza::report
