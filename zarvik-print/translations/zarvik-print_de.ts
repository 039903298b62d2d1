<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>zarvik-print</name>
    <message>
        <source>Cannot create the folder %1: %2.</source>
        <translation>Der Ordner %1 kann nicht angelegt werden: %2.</translation>
    </message>
    <message>
        <source>Cannot create a temporary file in %1: %2.</source>
        <translation>In %1 kann keine temporäre Datei angelegt werden: %2.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2.</source>
        <translation>%1 kann nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Cannot flush %1: %2.</source>
        <translation>%1 kann nicht auf den Datenträger geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Cannot replace %1: %2.</source>
        <translation>%1 kann nicht ersetzt werden: %2.</translation>
    </message>
    <message>
        <source>Saved %1, but cannot flush its folder: %2.</source>
        <translation>%1 ist gespeichert, aber sein Ordner kann nicht auf den Datenträger geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>The CUPS server at %1 did not answer within %2 s.</source>
        <translation>Der CUPS-Server unter %1 hat nicht innerhalb von %2 s geantwortet.</translation>
    </message>
    <message>
        <source>Cannot reach the CUPS server at %1: there is no such host.</source>
        <translation>Der CUPS-Server unter %1 ist nicht erreichbar: Diesen Rechner gibt es nicht.</translation>
    </message>
    <message>
        <source>Cannot reach the CUPS server at %1: %2.</source>
        <translation>Der CUPS-Server unter %1 ist nicht erreichbar: %2.</translation>
    </message>
    <message>
        <source>Cannot list the printers: </source>
        <translation>Die Drucker können nicht aufgelistet werden: </translation>
    </message>
    <message>
        <source>Cannot get the PPD of the printer %1: </source>
        <translation>Die PPD des Druckers %1 ist nicht zu bekommen: </translation>
    </message>
    <message>
        <source>The PPD of the printer %1 is not valid: %2 at line %3.</source>
        <translation>Die PPD des Druckers %1 ist ungültig: %2 in Zeile %3.</translation>
    </message>
    <message>
        <source>Cannot read %1: %2.</source>
        <translation>%1 kann nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>There is no document to print.</source>
        <translation>Es gibt kein Dokument zum Drucken.</translation>
    </message>
    <message>
        <source>CUPS did not take the job for %1: </source>
        <translation>CUPS hat den Auftrag für %1 nicht angenommen: </translation>
    </message>
    <message>
        <source>CUPS did not take the document %1: </source>
        <translation>CUPS hat das Dokument %1 nicht angenommen: </translation>
    </message>
    <message>
        <source>Sending %1 to CUPS failed: </source>
        <translation>%1 konnte nicht an CUPS gesendet werden: </translation>
    </message>
    <message>
        <source>CUPS did not accept the document %1: </source>
        <translation>CUPS hat das Dokument %1 nicht akzeptiert: </translation>
    </message>
    <message>
        <source>Cannot get the jobs of %1: </source>
        <translation>Die Aufträge von %1 sind nicht zu bekommen: </translation>
    </message>
    <message>
        <source>The printer %1 has no job %2.</source>
        <translation>Der Drucker %1 hat keinen Auftrag %2.</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 bis %2</translation>
    </message>
    <message>
        <source>%1 to %2 points</source>
        <translation>%1 bis %2 Punkt</translation>
    </message>
    <message>
        <source>a PDF document</source>
        <translation>ein PDF-Dokument</translation>
    </message>
    <message>
        <source>a PostScript document</source>
        <translation>ein PostScript-Dokument</translation>
    </message>
    <message>
        <source>a PNG image</source>
        <translation>ein PNG-Bild</translation>
    </message>
    <message>
        <source>a JPEG image</source>
        <translation>ein JPEG-Bild</translation>
    </message>
    <message>
        <source>a CUPS raster document</source>
        <translation>ein CUPS-Rasterdokument</translation>
    </message>
    <message>
        <source>a ZIP archive</source>
        <translation>ein ZIP-Archiv</translation>
    </message>
    <message>
        <source>There is no PPD file %1.</source>
        <translation>Es gibt keine PPD-Datei %1.</translation>
    </message>
    <message>
        <source>Cannot read the PPD file %1: %2.</source>
        <translation>Die PPD-Datei %1 kann nicht gelesen werden: %2.</translation>
    </message>
    <message>
        <source>%1 is a folder, not a PPD file.</source>
        <translation>%1 ist ein Ordner, keine PPD-Datei.</translation>
    </message>
    <message>
        <source>%1 is not a regular file, so it is no PPD file.</source>
        <translation>%1 ist keine gewöhnliche Datei und damit keine PPD-Datei.</translation>
    </message>
    <message>
        <source>%1 is empty, so it is no PPD file.</source>
        <translation>%1 ist leer und damit keine PPD-Datei.</translation>
    </message>
    <message>
        <source>%1 is %2, not a PPD file: a PPD file begins with &quot;*PPD-Adobe&quot;.</source>
        <translation>%1 ist %2, keine PPD-Datei: Eine PPD-Datei beginnt mit &quot;*PPD-Adobe&quot;.</translation>
    </message>
    <message>
        <source>%1 is not a PPD file: it does not begin with &quot;*PPD-Adobe&quot;, as a PPD file does.</source>
        <translation>%1 ist keine PPD-Datei: Sie beginnt nicht wie jede PPD-Datei mit &quot;*PPD-Adobe&quot;.</translation>
    </message>
    <message>
        <source>The PPD file %1 is not valid: %2 at line %3.</source>
        <translation>Die PPD-Datei %1 ist ungültig: %2 in Zeile %3.</translation>
    </message>
    <message>
        <source>The printer has no PPD.</source>
        <translation>Der Drucker hat keine PPD.</translation>
    </message>
    <message>
        <source>The printer has no option %1.</source>
        <translation>Der Drucker hat keine Option %1.</translation>
    </message>
    <message>
        <source>%1 takes no custom value.</source>
        <translation>%1 nimmt keinen eigenen Wert an.</translation>
    </message>
    <message>
        <source>%1 needs a value: Custom.&lt;value&gt;.</source>
        <translation>%1 braucht einen Wert: Custom.&lt;Wert&gt;.</translation>
    </message>
    <message>
        <source>%1 has no choice %2.</source>
        <translation>%1 hat keine Auswahl %2.</translation>
    </message>
    <message>
        <source>%1 has several custom values; one text cannot set them.</source>
        <translation>%1 hat mehrere eigene Werte; ein Text allein kann sie nicht setzen.</translation>
    </message>
    <message>
        <source>%1 takes a text value, which this dialog does not set.</source>
        <translation>%1 nimmt einen Text als Wert an, den dieser Dialog nicht setzt.</translation>
    </message>
    <message>
        <source>%1 cannot take any value: the printer&apos;s PPD gives it the range %2, which holds none.</source>
        <translation>%1 kann keinen Wert annehmen: Die PPD des Druckers gibt ihm den Bereich %2, der keinen enthält.</translation>
    </message>
    <message>
        <source>%1 must be from %2; %3 is outside that range.</source>
        <translation>%1 muss im Bereich %2 liegen; %3 liegt außerhalb.</translation>
    </message>
    <message>
        <source>%1 needs a whole number from %2, not %3.</source>
        <translation>%1 braucht eine ganze Zahl im Bereich %2, nicht %3.</translation>
    </message>
    <message>
        <source>%1 needs a length from %2 (a number with pt, in, ft, cm, mm or m), not %3.</source>
        <translation>%1 braucht eine Länge im Bereich %2 (eine Zahl mit pt, in, ft, cm, mm oder m), nicht %3.</translation>
    </message>
    <message>
        <source>%1 needs a decimal number from %2, not %3.</source>
        <translation>%1 braucht eine Dezimalzahl mit Punkt im Bereich %2, nicht %3.</translation>
    </message>
    <message>
        <source>%1 conflicts with the printer&apos;s other settings.</source>
        <translation>%1 verträgt sich nicht mit den übrigen Einstellungen des Druckers.</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
    <message>
        <source>%1 conflicts with %2.</source>
        <translation>%1 verträgt sich nicht mit %2.</translation>
    </message>
    <message>
        <source>Skipped the stored option %1: %2</source>
        <translation>Die gespeicherte Option %1 wurde übergangen: %2</translation>
    </message>
    <message>
        <source>In %1, the value at %2 is not an object; it is left out.</source>
        <translation>In %1 ist der Wert bei %2 kein Objekt; er wird ausgelassen.</translation>
    </message>
    <message>
        <source>In %1, the value at %2 is not text; it is left out.</source>
        <translation>In %1 ist der Wert bei %2 kein Text; er wird ausgelassen.</translation>
    </message>
    <message>
        <source>In %1, the value at %2 is %3, not a whole number; it is left out.</source>
        <translation>In %1 ist der Wert bei %2 %3, keine ganze Zahl; er wird ausgelassen.</translation>
    </message>
    <message>
        <source>In %1, the value at %2 is %3, not a decimal number; it is left out.</source>
        <translation>In %1 ist der Wert bei %2 %3, keine Dezimalzahl; er wird ausgelassen.</translation>
    </message>
    <message>
        <source>Cannot read the settings file %1: %2; the defaults are used.</source>
        <translation>Die Einstellungsdatei %1 kann nicht gelesen werden: %2; es gelten die Standardwerte.</translation>
    </message>
    <message>
        <source>it is larger than %1 bytes</source>
        <translation>sie ist größer als %1 Byte</translation>
    </message>
    <message>
        <source>%1 at byte %2</source>
        <translation>%1 bei Byte %2</translation>
    </message>
    <message>
        <source>it is not a JSON object</source>
        <translation>sie ist kein JSON-Objekt</translation>
    </message>
    <message>
        <source>its &quot;format&quot; is not &quot;zarvik-print-settings&quot;</source>
        <translation>ihr &quot;format&quot; ist nicht &quot;zarvik-print-settings&quot;</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be read as settings (%2); the defaults are used, and a run that is no dry run would move it to %3.</source>
        <translation>Die Einstellungsdatei %1 lässt sich nicht als Einstellungen lesen (%2); es gelten die Standardwerte, und ein Lauf, der kein Probelauf ist, würde sie nach %3 verschieben.</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be read as settings (%2); it was moved to %3 and the defaults are used.</source>
        <translation>Die Einstellungsdatei %1 lässt sich nicht als Einstellungen lesen (%2); sie wurde nach %3 verschoben, und es gelten die Standardwerte.</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be read as settings (%2) and cannot be moved aside: %3; the defaults are used.</source>
        <translation>Die Einstellungsdatei %1 lässt sich nicht als Einstellungen lesen (%2) und nicht beiseitelegen: %3; es gelten die Standardwerte.</translation>
    </message>
    <message>
        <source>In %1, the value at %2 is not a number; it is left out.</source>
        <translation>In %1 ist der Wert bei %2 keine Zahl; er wird ausgelassen.</translation>
    </message>
    <message>
        <source>The settings file %1 was written by a newer version (%2); only what this version knows is read.</source>
        <translation>Die Einstellungsdatei %1 stammt von einer neueren Version (%2); gelesen wird nur, was diese Version kennt.</translation>
    </message>
    <message>
        <source>A preset needs a name.</source>
        <translation>Eine Voreinstellung braucht einen Namen.</translation>
    </message>
    <message>
        <source>There is no preset %1.</source>
        <translation>Es gibt keine Voreinstellung %1.</translation>
    </message>
    <message>
        <source>A dry run saves no settings.</source>
        <translation>Ein Probelauf speichert keine Einstellungen.</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Byte</translation>
    </message>
    <message>
        <source>Print to %1</source>
        <translation>Drucken auf %1</translation>
    </message>
    <message>
        <source>%1 (PPD file, nothing is printed)</source>
        <translation>%1 (PPD-Datei, es wird nichts gedruckt)</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>Drucker</translation>
    </message>
    <message>
        <source>Printer:</source>
        <translation>Drucker:</translation>
    </message>
    <message>
        <source>Presets</source>
        <translation>Voreinstellungen</translation>
    </message>
    <message>
        <source>Settings saved under a name; choose one to use it.</source>
        <translation>Unter einem Namen gespeicherte Einstellungen; wählen Sie eine, um sie zu verwenden.</translation>
    </message>
    <message>
        <source>Save As…</source>
        <translation>Speichern unter …</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Presets:</source>
        <translation>Voreinstellungen:</translation>
    </message>
    <message>
        <source>The engraver&apos;s panel could not be loaded.</source>
        <translation>Das Bedienfeld des Graviergeräts konnte nicht geladen werden.</translation>
    </message>
    <message>
        <source>Summary</source>
        <translation>Zusammenfassung</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Statuszeile</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>(choose a preset)</source>
        <translation>(Voreinstellung wählen)</translation>
    </message>
    <message>
        <source>Save Preset</source>
        <translation>Voreinstellung speichern</translation>
    </message>
    <message>
        <source>Name of the preset:</source>
        <translation>Name der Voreinstellung:</translation>
    </message>
    <message>
        <source>Saved the preset %1.</source>
        <translation>Die Voreinstellung %1 ist gespeichert.</translation>
    </message>
    <message>
        <source>Choose the preset to delete first.</source>
        <translation>Wählen Sie zuerst die Voreinstellung, die gelöscht werden soll.</translation>
    </message>
    <message>
        <source>Deleted the preset %1.</source>
        <translation>Die Voreinstellung %1 ist gelöscht.</translation>
    </message>
    <message>
        <source>Choose the engraver&apos;s settings in the panel, then Print. A setting the printer cannot take is refused, and the line under the panel says why.</source>
        <translation>Wählen Sie die Einstellungen des Graviergeräts im Bedienfeld, dann Drucken. Eine Einstellung, die der Drucker nicht annehmen kann, wird abgelehnt, und die Zeile unter dem Bedienfeld sagt, warum.</translation>
    </message>
    <message>
        <source>there is no document %1</source>
        <translation>es gibt kein Dokument %1</translation>
    </message>
    <message>
        <source>%1 is a folder, not a document</source>
        <translation>%1 ist ein Ordner, kein Dokument</translation>
    </message>
    <message>
        <source>cannot read the document %1: %2</source>
        <translation>das Dokument %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Skipped the stored print setting %1: %2</source>
        <translation>Die gespeicherte Druckeinstellung %1 wurde übergangen: %2</translation>
    </message>
    <message>
        <source>there is no document to print</source>
        <translation>es gibt kein Dokument zum Drucken</translation>
    </message>
    <message>
        <source>a PPD file is no printer: print to a queue with --printer</source>
        <translation>eine PPD-Datei ist kein Drucker: Drucken Sie mit --printer auf eine Warteschlange</translation>
    </message>
    <message>
        <source>job %1 was sent to %2, but the settings were not saved: %3</source>
        <translation>Auftrag %1 ging an %2, aber die Einstellungen wurden nicht gespeichert: %3</translation>
    </message>
    <message>
        <source>the server closed the connection</source>
        <translation>der Server hat die Verbindung geschlossen</translation>
    </message>
    <message>
        <source>Cannot ask what the printer %1 takes: </source>
        <translation>Es lässt sich nicht erfragen, was der Drucker %1 annimmt: </translation>
    </message>
    <message>
        <source>%1 has a custom value without parameters; it takes none.</source>
        <translation>%1 hat einen eigenen Wert ohne Parameter; es nimmt keinen an.</translation>
    </message>
    <message>
        <source>the printer has no such option.</source>
        <translation>Der Drucker hat keine solche Option.</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>sie ist keine reguläre Datei</translation>
    </message>
    <message>
        <source>The settings file %1 is there but cannot be read (%2), so it is not written over.</source>
        <translation>Die Einstellungsdatei %1 ist vorhanden, lässt sich aber nicht lesen (%2); darum wird sie nicht überschrieben.</translation>
    </message>
    <message>
        <source>The settings would take %1 bytes, more than the %2 a settings file may have; %3 is left as it was.</source>
        <translation>Die Einstellungen bräuchten %1 Bytes, mehr als die %2, die eine Einstellungsdatei haben darf; %3 bleibt, wie sie war.</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Replaced the preset %1.</source>
        <translation>Die Voreinstellung %1 wurde ersetzt.</translation>
    </message>
    <message>
        <source>The preset %1 is back as it was.</source>
        <translation>Die Voreinstellung %1 ist wieder, wie sie war.</translation>
    </message>
    <message>
        <source>the document %1 is empty</source>
        <translation>das Dokument %1 ist leer</translation>
    </message>
    <message>
        <source>Skipped the option %1 of %2: %3</source>
        <translation>Die Option %1 von %2 wurde übergangen: %3</translation>
    </message>
    <message>
        <source>The printer refused the panel&apos;s own %1 as it opened: %2</source>
        <translation>Der Drucker hat den eigenen Wert %1 des Bedienfelds beim Öffnen abgelehnt: %2</translation>
    </message>
    <message>
        <source>Skipped the option %1 of the preset: %2</source>
        <translation>Die Option %1 der Voreinstellung wurde übergangen: %2</translation>
    </message>
    <message>
        <source>%1 is %2, which %3 does not take; it takes %4</source>
        <translation>%1 ist %2, was %3 nicht annimmt; es nimmt %4 an</translation>
    </message>
    <message>
        <source>Media size</source>
        <translation>Mediengröße</translation>
    </message>
    <message>
        <source>Copies</source>
        <translation>Kopien</translation>
    </message>
    <message>
        <source>Media size:</source>
        <translation>Mediengröße:</translation>
    </message>
    <message>
        <source>Copies:</source>
        <translation>Kopien:</translation>
    </message>
    <message>
        <source>The printer takes from 1 to %1 copies, not %2.</source>
        <translation>Der Drucker nimmt 1 bis %1 Kopien an, nicht %2.</translation>
    </message>
</context>
</TS>
