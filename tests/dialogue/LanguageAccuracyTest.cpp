// Alignment accuracy in languages other than English, heard through the
// English speech model: espeak-ng speaks each line (several voices and
// speeds) and says where each word starts; the aligner hears the sound
// alone, with the typed text.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "dialogue/MadeSpeech.h"

namespace zv {
namespace {

using test::AlignmentFigures;
using test::MeasureAlignment;
using test::SpeechCase;

struct LanguageCases {
    const char* language;
    std::vector<SpeechCase> cases;
};

const std::vector<LanguageCases>& Languages() {
    static const std::vector<LanguageCases> all = {
        {"fr",
         {{"fr", 175, "Le petit chat dort tranquillement sur le canapé du salon."},
          {"fr+f3", 150, "Nous irons au marché demain matin avec ta grand-mère."},
          {"fr+m3", 210, "Il a acheté 12 croissants pour le petit déjeuner."},
          {"fr+m1", 190, "Depuis la fenêtre, on voit les bateaux rentrer au port."}}},
        {"de",
         {{"de", 175, "Der alte Fischer wartet jeden Morgen am Hafen auf sein Boot."},
          {"de+f2", 200, "Meine Schwester hat gestern einen neuen Hund gekauft."},
          {"de+m1", 140, "Im Sommer fahren wir oft mit dem Fahrrad an den See."},
          {"de+f4", 160, "Kannst du bitte das Fenster in der Küche schließen?"}}},
        {"es",
         {{"es", 175, "El perro de mi vecino ladra cada noche sin parar."},
          {"es+f4", 220, "Mañana vamos a visitar el museo de la ciudad."},
          {"es+m2", 150, "Mi abuela prepara una sopa deliciosa los domingos."},
          {"es+f2", 190, "Los niños juegan en el parque después de la escuela."}}},
        {"it",
         {{"it", 175, "Il treno per Roma parte dal binario numero sette."},
          {"it+f1", 150, "Mia sorella studia musica al conservatorio da tre anni."},
          {"it+m3", 210, "Domani andiamo al mare con tutti gli amici."},
          {"it+m1", 190, "Paolo cucina la pasta per tutta la famiglia."}}},
        {"pt",
         {{"pt", 175, "O meu irmão trabalha numa padaria perto da estação."},
          {"pt+f3", 200, "Amanhã vamos almoçar no restaurante da praia."},
          {"pt-br+m1", 150, "A menina leu o livro inteiro durante a viagem."},
          {"pt+m2", 180, "O gato dorme no sofá depois do almoço."}}},
        {"nl",
         {{"nl", 175, "De kat slaapt de hele middag op de vensterbank."},
          {"nl+f2", 140, "Morgen gaan wij met de fiets naar het strand."},
          {"nl+m2", 220, "Mijn vader repareert de oude klok in de keuken."},
          {"nl+m1", 160, "Het meisje leest een boek in de tuin."},
          {"nl+f4", 200, "Ik drink elke ochtend koffie met warme melk."}}},
        {"pl",
         {{"pl", 175, "Mój brat codziennie jeździ rowerem do pracy."},
          {"pl+f4", 150, "W sobotę pojedziemy nad jezioro z przyjaciółmi."},
          {"pl+m1", 200, "Babcia upiekła pyszne ciasto z jabłkami i cynamonem."},
          {"pl+f2", 180, "Dzieci bawią się w parku po szkole."}}},
    };
    return all;
}

// Each language: at least 85 % of word starts within one frame at 24 fps,
// every word within three, and no word left spread (every line heard).
// The fourth line of each language (and the fifth in Dutch) was written
// after the stops' leads were measured on the first three, to check them.
// What was verified: fr 97.4, de 97.4, es 100, it 94.1, pt 87.9, nl 88.4,
// pl 96.6 %, every word within three frames, mean 8.5 to 18.1 ms (nl 86.0
// and pl 93.1 % before words after a stop's silent closure were moved to
// its end). (Dutch was at 81 % while a word took the reading of the first
// line that held it: "met" said "mɛ" before "de" lost its "t" before
// "warme", 222 ms off.)
TEST(LanguageAccuracy, WordStartsFallWithinAFrameInEachLanguage) {
    for (const LanguageCases& l : Languages()) {
        SCOPED_TRACE(l.language);
        const AlignmentFigures f = MeasureAlignment(l.cases, l.language);
        EXPECT_GT(f.total, 20);
        EXPECT_EQ(f.spread, 0);
        EXPECT_GE(f.WithinOnePercent(), 85.0);
        EXPECT_EQ(f.withinThree, f.total);
        EXPECT_LE(f.MeanMs(), 20.0);
    }
}

// The same lines in digital silence: exact zeros around and between the
// words, as synthesized speech or an edited dialogue track has. Before the
// aligner put a faint noise floor under the sound, these gave nl 69.8,
// it 82.4 and pt 84.8 % within a frame, words up to 270 ms off, and the
// search lost 5 of 16 longer (12 s) lines, an Italian one wholly.
TEST(LanguageAccuracy, LinesInDigitalSilenceAreHeardAsWell) {
    for (const LanguageCases& l : Languages()) {
        SCOPED_TRACE(l.language);
        const AlignmentFigures f = MeasureAlignment(l.cases, l.language, false);
        EXPECT_EQ(f.spread, 0);
        EXPECT_GE(f.WithinOnePercent(), 85.0);
        EXPECT_EQ(f.withinThree, f.total);
    }
}

} // namespace
} // namespace zv
