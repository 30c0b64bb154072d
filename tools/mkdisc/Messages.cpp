// The texts of the language file, in English, German and French.
#include "Mkdisc.h"

#include "AnsiText.h"

namespace Mkdisc {
namespace {

struct Message
{
    const char* label; // the label line of the block
    const char16_t* text[3];
};

const Message kMessages[] = {
    {"Product title", {u"Orvinta", u"Orvinta", u"Orvinta"}},
    {"Menu: Zoom", {u"Zoom", u"Ansehen", u"Agrandir"}},
    {"Menu: Save", {u"Save", u"Speichern", u"Enregistrer"}},
    {"Menu: Print", {u"Print", u"Drucken", u"Imprimer"}},
    {"Menu: Clipboard", {u"Clipboard", u"Zwischenablage", u"Presse-papiers"}},
    {"Menu: Thumbnail View", {u"Thumbnail View", u"Nur Miniaturen", u"Miniatures seules"}},
    {"Menu: Recently Used",
     {u"Recently Used", u"Zuletzt verwendet", u"R\u00E9cemment utilis\u00E9es"}},
    {"Menu: Notes", {u"Notes", u"Notizen", u"Notes"}},
    {"Menu: Help", {u"Help", u"Hilfe", u"Aide"}},
    {"Menu: Language", {u"Language", u"Sprache", u"Langue"}},
    {"Menu: Exit", {u"Exit", u"Beenden", u"Quitter"}},
    {"Status: selected", {u"Selected:", u"Ausgew\u00E4hlt:", u"S\u00E9lection :"}},
    {"Status: several selected",
     {u"Pictures selected:", u"Ausgew\u00E4hlte Bilder:", u"Images s\u00E9lectionn\u00E9es :"}},
    {"Status: none", {u"none", u"keine", u"aucune"}},
    {"Settings without CD drive",
     {u"The settings file names no valid CD drive. Please set CD_Drive, for example D:\\",
      u"Die Einstellungsdatei nennt kein g\u00FCltiges CD-Laufwerk. Bitte CD_Drive angeben, zum "
      u"Beispiel D:\\",
      u"Le fichier de param\u00E8tres n\u2019indique aucun lecteur de CD valable. Indiquez "
      u"CD_Drive, par exemple D:\\"}},
    {"Insert CD", {u"Please insert the", u"Bitte legen Sie die", u"Veuillez ins\u00E9rer le"}},
    {"Disc without CD.ID",
     {u"The disc in the drive is not a picture disc of this collection.",
      u"Die eingelegte Disc geh\u00F6rt nicht zu dieser Bildersammlung.",
      u"Le disque ins\u00E9r\u00E9 n\u2019appartient pas \u00E0 cette collection d\u2019images."}},
    {"Nothing selected",
     {u"Please select a picture first.", u"Bitte w\u00E4hlen Sie zuerst ein Bild aus.",
      u"Veuillez d\u2019abord choisir une image."}},
    {"More than one selected",
     {u"Please select only one picture.", u"Bitte w\u00E4hlen Sie nur ein Bild aus.",
      u"Veuillez ne choisir qu\u2019une seule image."}},
    {"Thumbnail View: show categories",
     {u"Show Categories", u"Kategorien zeigen", u"Afficher les cat\u00E9gories"}},
    {"Thumbnail View: show list", {u"Show List", u"Liste zeigen", u"Afficher la liste"}},
    {"Language stored",
     {u"The new language will be used the next time you start Orvinta.",
      u"Die neue Sprache gilt ab dem n\u00E4chsten Start von Orvinta.",
      u"La nouvelle langue sera utilis\u00E9e au prochain d\u00E9marrage d\u2019Orvinta."}},
    {"Recently used", {u"Recently Used", u"Zuletzt verwendet", u"R\u00E9cemment utilis\u00E9es"}},
    {"Insert start disc (1)",
     {u"Please insert CD", u"Bitte legen Sie CD", u"Veuillez ins\u00E9rer le CD"}},
    {"Insert start disc (2)",
     {u"to return to the categories.", u"ein, um zu den Kategorien zur\u00FCckzukehren.",
      u"pour revenir aux cat\u00E9gories."}},
    {"Back to categories", {u"Categories", u"Kategorien", u"Cat\u00E9gories"}},
    {"Ok", {u"OK", u"OK", u"OK"}},
    {"Cancel", {u"Cancel", u"Abbrechen", u"Annuler"}},
    {"Hint: previous page", {u"Previous page", u"Vorige Seite", u"Page pr\u00E9c\u00E9dente"}},
    {"Hint: next page", {u"Next page", u"N\u00E4chste Seite", u"Page suivante"}},
    {"Column: number", {u"No.", u"Nr.", u"N\u00B0"}},
    {"Column: picture", {u"Picture", u"Bild", u"Image"}},
    {"Column: comment", {u"Comment", u"Kommentar", u"Commentaire"}},
    {"Insert CD number",
     {u"Please insert CD", u"Bitte legen Sie CD", u"Veuillez ins\u00E9rer le CD"}},
    {"Save: file exists",
     {u"The file already exists", u"Die Datei ist bereits vorhanden",
      u"Le fichier existe d\u00E9j\u00E0"}},
    {"Save: overwrite",
     {u"Do you want to replace it?", u"M\u00F6chten Sie sie ersetzen?",
      u"Voulez-vous le remplacer ?"}},
    {"Save: source missing",
     {u"The picture cannot be found", u"Das Bild wurde nicht gefunden",
      u"L\u2019image est introuvable"}},
    {"Save: not saved",
     {u"It was not saved.", u"Es wurde nicht gespeichert.",
      u"Elle n\u2019a pas \u00E9t\u00E9 enregistr\u00E9e."}},
    {"Save: pictures saved",
     {u"pictures saved", u"Bilder gespeichert", u"images enregistr\u00E9es"}},
    {"Save: some failed",
     {u"Some pictures could not be saved", u"Einige Bilder konnten nicht gespeichert werden",
      u"Certaines images n\u2019ont pas pu \u00EAtre enregistr\u00E9es"}},
    {"Save: format word", {u"Picture", u"Bild", u"Image"}},
    {"Save: file name label", {u"File name:", u"Dateiname:", u"Nom du fichier :"}},
    {"Save: type label", {u"Save as type:", u"Dateityp:", u"Type de fichier :"}},
    {"Printer setup", {u"Printer...", u"Drucker...", u"Imprimante..."}},
    {"Unused 44", {u"", u"", u""}},
    {"Unused 45", {u"", u"", u""}},
    {"Viewer: Close", {u"Close", u"Schlie\u00DFen", u"Fermer"}},
    {"Hint: previous picture",
     {u"Previous picture", u"Voriges Bild", u"Image pr\u00E9c\u00E9dente"}},
    {"Hint: first picture", {u"First picture", u"Erstes Bild", u"Premi\u00E8re image"}},
    {"Hint: next picture", {u"Next picture", u"N\u00E4chstes Bild", u"Image suivante"}},
    {"Hint: last picture", {u"Last picture", u"Letztes Bild", u"Derni\u00E8re image"}},
    {"Hint: slide show", {u"Slide show", u"Diaschau", u"Diaporama"}},
    {"Print: all as tiles",
     {u"All pictures on show, as tiles", u"Alle gezeigten Bilder als Kacheln",
      u"Toutes les images affich\u00E9es, en vignettes"}},
    {"Print: one per page",
     {u"Each selected picture on its own page", u"Jedes ausgew\u00E4hlte Bild auf eigener Seite",
      u"Chaque image choisie sur sa propre page"}},
    {"Print: selected as tiles",
     {u"Selected pictures, as tiles", u"Ausgew\u00E4hlte Bilder als Kacheln",
      u"Images choisies, en vignettes"}},
    {"Page: portrait", {u"Portrait", u"Hochformat", u"Portrait"}},
    {"Page: landscape", {u"Landscape", u"Querformat", u"Paysage"}},
    {"Page style", {u"Page", u"Seite", u"Page"}},
    {"Tiles across", {u"Across", u"Nebeneinander", u"En largeur"}},
    {"Tiles down", {u"Down", u"Untereinander", u"En hauteur"}},
    {"Keep aspect",
     {u"Keep proportions", u"Seitenverh\u00E4ltnis behalten", u"Garder les proportions"}},
    {"Help caption", {u"About Orvinta", u"\u00DCber Orvinta", u"\u00C0 propos d\u2019Orvinta"}},
    {"Help line 1",
     {u"Orvinta picture browser", u"Orvinta Bilderbrowser", u"Orvinta, visionneuse d\u2019images"}},
    {"Help line 2",
     {u"Browse, view, save and print", u"Bl\u00E4ttern, ansehen, speichern, drucken",
      u"Parcourir, voir, enregistrer, imprimer"}},
    {"Help line 3",
     {u"the pictures of this collection.", u"Sie die Bilder dieser Sammlung.",
      u"les images de cette collection."}},
    {"Help line 4",
     {u"Press Help for the manual.", u"Hilfe \u00F6ffnet das Handbuch.", u"Aide ouvre le manuel."}},
    {"Help line 5", {u"Version 1.0", u"Version 1.0", u"Version 1.0"}},
    {"Progress: of", {u"of", u"von", u"sur"}},
    {"View Indices: hide", {u"Hide Indices", u"Nummern ausblenden", u"Masquer les num\u00E9ros"}},
    {"View Indices: show", {u"View Indices", u"Nummern zeigen", u"Afficher les num\u00E9ros"}},
};
static_assert(sizeof(kMessages) / sizeof(kMessages[0]) == 70, "the program uses messages 0 to 69");

const char* const kFlagFiles[3] = {"ENGLISH.ICO", "GERMAN.ICO", "FRENCH.ICO"};
const char* const kHelpFiles[3] = {"HELP_EN.TXT", "HELP_DE.TXT", "HELP_FR.TXT"};

} // namespace

QString Message_Text(int message, int language)
{
    if (message < 0 || message >= 70 || language < 0 || language > 2)
        return {};
    return QString::fromUtf16(kMessages[message].text[language]);
}

QByteArray Language_File_Text(int languages, int messages)
{
    QStringList lines;
    lines << QString::number(languages);
    for (int l = 0; l < languages; ++l)
        lines << QString::fromLatin1(kFlagFiles[l]) << QString::fromLatin1(kHelpFiles[l]);
    lines << QStringLiteral("Messages");
    lines << QString::number(messages);
    for (int m = 0; m < messages; ++m) {
        lines << QStringLiteral("; %1 %2").arg(m).arg(QString::fromLatin1(kMessages[m % 70].label));
        for (int l = 0; l < languages; ++l)
            lines << Message_Text(m % 70, l);
    }
    return Ansi::Encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

} // namespace Mkdisc
