#include "app/guide_pages.h"

#include <algorithm>

namespace acquenza {

const std::array<GuidePage, 7>& GuidePages() {
    static const std::array<GuidePage, 7> pages = {{
        {WindowId::manuale, "manuale", "MANUALE D'USO RAPIDO",
         "Acquenza dimensiona i tronchi di una rete idrica e ne verifica la portata. Nella "
         "finestra Dati il programma calcola per ogni tronco la perdita di carico, il diametro e "
         "la velocità dell'acqua e li aggiorna a ogni modifica, nei campi azzurri dei risultati. "
         "La casella gialla in basso indica passo per passo il dato da digitare: conviene "
         "spostarsi da un campo all'altro con il tasto TAB, così l'indicazione resta sempre "
         "corretta. I campi delle portate si possono saltare se si digitano il numero dei "
         "residenti e la dotazione idrica: la dotazione viene copiata dal tronco precedente "
         "oppure proposta in 250 litri per abitante al giorno. Il pulsante 'Antincendio' calcola "
         "la portata antincendio dal numero massimo dei residenti, sia per la portata lungo il "
         "tronco sia per quella all'estremità. Per prendere confidenza con la finestra si "
         "consiglia di aprire un file archiviato, per esempio il progetto di esempio "
         "'Acquenza-dati-esempio' fornito con il programma: si trova nella cartella del "
         "programma, elencata a sinistra nella finestra 'Apri file'. Portando il puntatore del "
         "mouse sul "
         "numero di un tronco, il numero diventa giallo e compaiono i risultati di quel tronco. "
         "Il tasto ABC controlla i dati immessi; il controllo viene comunque eseguito in modo "
         "automatico prima di archiviare e di stampare. La finestra 'Frontespizio' raccoglie i "
         "dati della relazione completa. La sola tabella dei dati e il modello per "
         "l'acquisizione dei dati si stampano dalla barra degli strumenti della finestra Dati o "
         "dal suo menu File, Stampa."},
        {WindowId::guidafunzionamento, "guidafunzionamento", "FUNZIONAMENTO DEL PROGRAMMA",
         "Il programma dimensiona le condotte delle reti idriche, fino a 500 tronchi, e calcola "
         "in modo automatico la portata antincendio. Le portate si possono ottenere dal numero "
         "dei residenti e dalla dotazione idrica giornaliera, proposta in 250 litri per "
         "abitante. La portata antincendio si ottiene con l'apposito pulsante applicando la "
         "formula Q=4.5*Sqr(P)-0.045*P, nella quale P è espresso in migliaia di abitanti mentre "
         "i residenti si digitano in unità. Le perdite di carico e i diametri si ricavano con la "
         "formula del Darcy Y=B*L*Q^2/D^5, in cui Y è la perdita di carico in metri, B il "
         "coefficiente di scabrezza, L la lunghezza del tronco in metri, Q la portata in metri "
         "cubi al secondo e D il diametro in metri, mostrato poi in centimetri. Il procedimento "
         "di calcolo è iterativo: il diametro cresce di un millimetro alla volta finché la "
         "perdita di carico di ogni tratto resta entro il dislivello disponibile."},
        {WindowId::guidaarchivio, "guidaarchivio", "ARCHIVIO DATI",
         "I dati di ciascuna finestra possono essere registrati in un file e richiamati in "
         "seguito. Il nome del file viene proposto con una parte già scritta, "
         "'Acquenza-dati-', che va completata dopo averla raggiunta con il tasto freccia a "
         "destra, in modo da non cancellarla; se la si cancella per errore conviene annullare "
         "e ripetere l'operazione. Si archiviano e si richiamano soltanto i file "
         "'Acquenza-dati-...', da entrambe le finestre, e ogni file contiene sia i tronchi sia "
         "il frontespizio. Qualunque file può essere eliminato con il comando File, Elimina."},
        {WindowId::guidastampa, "guidastampa", "COME STAMPARE",
         "Ogni finestra della guida può essere stampata. Le stampe del programma sono: i dati "
         "oppure il modello per l'acquisizione dei dati della finestra Dati, i soli dati del "
         "frontespizio, oppure l'intera relazione di calcolo. Dal menu File, Stampa si sceglie "
         "fra il modello e la tabella dei dati. L'icona della stampante stampa la tabella dei "
         "dati nella finestra Dati e l'intera relazione nella finestra Frontespizio. Prima di "
         "stampare, come prima di archiviare, i dati vengono controllati e, se occorre "
         "completarli, compare la finestra Dati. La relazione contiene anche, per ogni tronco, "
         "la mappa delle perdite di carico e delle portate."},
        {WindowId::guidadati, "guidadati", "FINESTRA DATI",
         "La prima finestra riceve i dati completi di tutti i tronchi. I valori si digitano nei "
         "campi bianchi e i risultati compaiono subito nelle colonne azzurre. Spostandosi con il "
         "tasto TAB l'indicazione della casella gialla resta corretta, mentre spostandosi con il "
         "mouse essa resta ferma al primo dato mancante. Una dotazione idrica lasciata vuota "
         "viene riempita con il valore del tronco precedente oppure con 250 litri per abitante "
         "al giorno. Il pulsante 'Antincendio' fornisce la portata antincendio dopo che è stato "
         "digitato il numero dei residenti. Il tasto ABC controlla tutti i dati, che vengono "
         "comunque controllati in modo automatico prima di archiviare o di stampare."},
        {WindowId::guidaantincendio, "guidaantincendio", "PORTATA ANTINCENDIO",
         "La portata antincendio richiesta dalle norme tecniche può essere calcolata per ogni "
         "tronco dal solo numero massimo dei residenti, con la formula Q=4.5*Sqr(P)-0.045*P in "
         "cui P è espresso in migliaia di abitanti. I residenti si digitano in unità: la "
         "conversione è fatta dal programma. Il pulsante funziona solo dopo che è stato "
         "digitato il numero dei residenti e sostituisce la dotazione idrica giornaliera, che "
         "non serve più. Vale sia per la portata lungo il tronco sia per quella all'estremità, "
         "secondo quanto richiede la planimetria della rete."},
        {WindowId::guidafrontespizio, "guidafrontespizio", "FINESTRA FRONTESPIZIO",
         "L'ultima finestra raccoglie i dati del frontespizio della relazione. Ogni dato ha la "
         "sua importanza: il progetto è indispensabile per archiviare; la tipologia di studio "
         "distingue, per esempio, un progetto generale da uno parziale; la località individua "
         "la zona; il luogo e la data di elaborazione datano lo studio. Per la stampa diretta è "
         "preimpostato un carattere Courier di 12 punti, da sostituire con uno simile se la "
         "stampante ne è priva. A questo punto si stampa la relazione e il lavoro è concluso."},
    }};
    return pages;
}

const GuidePage& GuidePageOf(WindowId window) {
    const auto& pages = GuidePages();
    const auto found = std::find_if(pages.begin(), pages.end(),
                                    [&](const GuidePage& p) { return p.window == window; });
    return found != pages.end() ? *found : pages.front();
}

bool IsGuidePage(WindowId window) {
    const auto& pages = GuidePages();
    return std::any_of(pages.begin(), pages.end(),
                       [&](const GuidePage& p) { return p.window == window; });
}

}  // namespace acquenza
