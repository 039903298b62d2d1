<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Localizable</name>
    <message>
        <source>Zarvik Settings</source>
        <translation>Zarvik-Einstellungen</translation>
    </message>
</context>
<context>
    <name>ZarvikPDE</name>
    <message>
        <source>Zarvik Settings</source>
        <translation>Zarvik-Einstellungen</translation>
    </message>
    <message>
        <source>Job</source>
        <translation>Auftrag</translation>
    </message>
    <message>
        <source>Job type:</source>
        <translation>Auftragsart:</translation>
    </message>
    <message>
        <source>What the engraver does with the job: raster engraving, vector cutting, or both</source>
        <translation>Was das Graviergerät mit dem Auftrag macht: Rastergravur, Vektorschnitt oder beides</translation>
    </message>
    <message>
        <source>Job type</source>
        <translation>Auftragsart</translation>
    </message>
    <message>
        <source>Center engraving:</source>
        <translation>Zentrieren:</translation>
    </message>
    <message>
        <source>Where the engraving is placed on the bed</source>
        <translation>Wo die Gravur auf dem Arbeitstisch liegt</translation>
    </message>
    <message>
        <source>Center engraving</source>
        <translation>Gravur zentrieren</translation>
    </message>
    <message>
        <source>Direction:</source>
        <translation>Richtung:</translation>
    </message>
    <message>
        <source>The direction in which the engraver works through the job</source>
        <translation>Die Richtung, in der das Graviergerät den Auftrag abarbeitet</translation>
    </message>
    <message>
        <source>Engraving direction</source>
        <translation>Gravurrichtung</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Auflösung:</translation>
    </message>
    <message>
        <source>Raster resolution in dots per inch: 75, 150, 200, 300, 400, 600 or 1200 dpi</source>
        <translation>Rasterauflösung in Punkten pro Zoll: 75, 150, 200, 300, 400, 600 oder 1200 dpi</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>Auflösung</translation>
    </message>
    <message>
        <source>The resolution the slider selects, in dots per inch</source>
        <translation>Die mit dem Schieberegler gewählte Auflösung in Punkten pro Zoll</translation>
    </message>
    <message>
        <source>Resolution in dots per inch</source>
        <translation>Auflösung in Punkten pro Zoll</translation>
    </message>
    <message>
        <source>Direct print</source>
        <translation>Direktdruck</translation>
    </message>
    <message>
        <source>Start the job on the engraver as soon as it arrives</source>
        <translation>Den Auftrag auf dem Graviergerät starten, sobald er ankommt</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Material</translation>
    </message>
    <message>
        <source>Auto focus</source>
        <translation>Autofokus</translation>
    </message>
    <message>
        <source>Let the engraver focus the laser on the material itself</source>
        <translation>Das Graviergerät den Laser selbst auf das Material fokussieren lassen</translation>
    </message>
    <message>
        <source>Material thickness:</source>
        <translation>Materialstärke:</translation>
    </message>
    <message>
        <source>Thickness of the material in millimetres, for the auto focus</source>
        <translation>Stärke des Materials in Millimetern, für den Autofokus</translation>
    </message>
    <message>
        <source>Material thickness in millimetres</source>
        <translation>Materialstärke in Millimetern</translation>
    </message>
    <message>
        <source>Raster Engraving</source>
        <translation>Rastergravur</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>Geschwindigkeit:</translation>
    </message>
    <message>
        <source>Raster engraving speed, in percent of the fastest</source>
        <translation>Geschwindigkeit der Rastergravur in Prozent der höchsten</translation>
    </message>
    <message>
        <source>Raster speed</source>
        <translation>Rastergeschwindigkeit</translation>
    </message>
    <message>
        <source>Raster speed in percent</source>
        <translation>Rastergeschwindigkeit in Prozent</translation>
    </message>
    <message>
        <source>Power:</source>
        <translation>Leistung:</translation>
    </message>
    <message>
        <source>Laser power for raster engraving, in percent</source>
        <translation>Laserleistung für die Rastergravur in Prozent</translation>
    </message>
    <message>
        <source>Raster power</source>
        <translation>Rasterleistung</translation>
    </message>
    <message>
        <source>Raster power in percent</source>
        <translation>Rasterleistung in Prozent</translation>
    </message>
    <message>
        <source>Dithering:</source>
        <translation>Rasterung:</translation>
    </message>
    <message>
        <source>How shades of grey are turned into dots</source>
        <translation>Wie Grautöne in Punkte umgesetzt werden</translation>
    </message>
    <message>
        <source>Dithering</source>
        <translation>Rasterung</translation>
    </message>
    <message>
        <source>Vector Cutting</source>
        <translation>Vektorschnitt</translation>
    </message>
    <message>
        <source>Vector cutting speed, in percent of the fastest</source>
        <translation>Geschwindigkeit des Vektorschnitts in Prozent der höchsten</translation>
    </message>
    <message>
        <source>Vector speed</source>
        <translation>Vektorgeschwindigkeit</translation>
    </message>
    <message>
        <source>Vector speed in percent</source>
        <translation>Vektorgeschwindigkeit in Prozent</translation>
    </message>
    <message>
        <source>Laser power for vector cutting, in percent</source>
        <translation>Laserleistung für den Vektorschnitt in Prozent</translation>
    </message>
    <message>
        <source>Vector power</source>
        <translation>Vektorleistung</translation>
    </message>
    <message>
        <source>Vector power in percent</source>
        <translation>Vektorleistung in Prozent</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Frequenz:</translation>
    </message>
    <message>
        <source>Laser pulse frequency for vector cutting, in hertz</source>
        <translation>Pulsfrequenz des Lasers für den Vektorschnitt in Hertz</translation>
    </message>
    <message>
        <source>Vector frequency</source>
        <translation>Vektorfrequenz</translation>
    </message>
    <message>
        <source>Vector frequency in hertz</source>
        <translation>Vektorfrequenz in Hertz</translation>
    </message>
    <message>
        <source>Sorting:</source>
        <translation>Sortierung:</translation>
    </message>
    <message>
        <source>The order in which the vector paths are cut</source>
        <translation>Die Reihenfolge, in der die Vektorpfade geschnitten werden</translation>
    </message>
    <message>
        <source>Vector sorting</source>
        <translation>Vektorsortierung</translation>
    </message>
    <message>
        <source>Speed compensation</source>
        <translation>Geschwindigkeitsausgleich</translation>
    </message>
    <message>
        <source>Adjust the cutting speed along curves and corners</source>
        <translation>Die Schnittgeschwindigkeit an Kurven und Ecken anpassen</translation>
    </message>
    <message>
        <source>Vector speed compensation</source>
        <translation>Ausgleich der Vektorgeschwindigkeit</translation>
    </message>
    <message>
        <source>Power compensation</source>
        <translation>Leistungsausgleich</translation>
    </message>
    <message>
        <source>Adjust the laser power to the cutting speed</source>
        <translation>Die Laserleistung an die Schnittgeschwindigkeit anpassen</translation>
    </message>
    <message>
        <source>Vector power compensation</source>
        <translation>Ausgleich der Vektorleistung</translation>
    </message>
    <message>
        <source>Vector grid</source>
        <translation>Vektorraster</translation>
    </message>
    <message>
        <source>Cut the vectors in grid mode; needs auto focus</source>
        <translation>Die Vektoren im Rastermodus schneiden; braucht den Autofokus</translation>
    </message>
</context>
</TS>
