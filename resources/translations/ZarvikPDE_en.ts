<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>Localizable</name>
    <message>
        <source>Zarvik Settings</source>
        <translation>Zarvik Settings</translation>
    </message>
</context>
<context>
    <name>ZarvikPDE</name>
    <message>
        <source>Zarvik Settings</source>
        <translation>Zarvik Settings</translation>
    </message>
    <message>
        <source>Job</source>
        <translation>Job</translation>
    </message>
    <message>
        <source>Job type:</source>
        <translation>Job type:</translation>
    </message>
    <message>
        <source>What the engraver does with the job: raster engraving, vector cutting, or both</source>
        <translation>What the engraver does with the job: raster engraving, vector cutting, or both</translation>
    </message>
    <message>
        <source>Job type</source>
        <translation>Job type</translation>
    </message>
    <message>
        <source>Center engraving:</source>
        <translation>Center engraving:</translation>
    </message>
    <message>
        <source>Where the engraving is placed on the bed</source>
        <translation>Where the engraving is placed on the bed</translation>
    </message>
    <message>
        <source>Center engraving</source>
        <translation>Center engraving</translation>
    </message>
    <message>
        <source>Direction:</source>
        <translation>Direction:</translation>
    </message>
    <message>
        <source>The direction in which the engraver works through the job</source>
        <translation>The direction in which the engraver works through the job</translation>
    </message>
    <message>
        <source>Engraving direction</source>
        <translation>Engraving direction</translation>
    </message>
    <message>
        <source>Resolution:</source>
        <translation>Resolution:</translation>
    </message>
    <message>
        <source>Raster resolution in dots per inch: 75, 150, 200, 300, 400, 600 or 1200 dpi</source>
        <translation>Raster resolution in dots per inch: 75, 150, 200, 300, 400, 600 or 1200 dpi</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>Resolution</translation>
    </message>
    <message>
        <source>The resolution the slider selects, in dots per inch</source>
        <translation>The resolution the slider selects, in dots per inch</translation>
    </message>
    <message>
        <source>Resolution in dots per inch</source>
        <translation>Resolution in dots per inch</translation>
    </message>
    <message>
        <source>Direct print</source>
        <translation>Direct print</translation>
    </message>
    <message>
        <source>Start the job on the engraver as soon as it arrives</source>
        <translation>Start the job on the engraver as soon as it arrives</translation>
    </message>
    <message>
        <source>Material</source>
        <translation>Material</translation>
    </message>
    <message>
        <source>Auto focus</source>
        <translation>Auto focus</translation>
    </message>
    <message>
        <source>Let the engraver focus the laser on the material itself</source>
        <translation>Let the engraver focus the laser on the material itself</translation>
    </message>
    <message>
        <source>Material thickness:</source>
        <translation>Material thickness:</translation>
    </message>
    <message>
        <source>Thickness of the material in millimetres, for the auto focus</source>
        <translation>Thickness of the material in millimetres, for the auto focus</translation>
    </message>
    <message>
        <source>Material thickness in millimetres</source>
        <translation>Material thickness in millimetres</translation>
    </message>
    <message>
        <source>Raster Engraving</source>
        <translation>Raster Engraving</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>Speed:</translation>
    </message>
    <message>
        <source>Raster engraving speed, in percent of the fastest</source>
        <translation>Raster engraving speed, in percent of the fastest</translation>
    </message>
    <message>
        <source>Raster speed</source>
        <translation>Raster speed</translation>
    </message>
    <message>
        <source>Raster speed in percent</source>
        <translation>Raster speed in percent</translation>
    </message>
    <message>
        <source>Power:</source>
        <translation>Power:</translation>
    </message>
    <message>
        <source>Laser power for raster engraving, in percent</source>
        <translation>Laser power for raster engraving, in percent</translation>
    </message>
    <message>
        <source>Raster power</source>
        <translation>Raster power</translation>
    </message>
    <message>
        <source>Raster power in percent</source>
        <translation>Raster power in percent</translation>
    </message>
    <message>
        <source>Dithering:</source>
        <translation>Dithering:</translation>
    </message>
    <message>
        <source>How shades of grey are turned into dots</source>
        <translation>How shades of grey are turned into dots</translation>
    </message>
    <message>
        <source>Dithering</source>
        <translation>Dithering</translation>
    </message>
    <message>
        <source>Vector Cutting</source>
        <translation>Vector Cutting</translation>
    </message>
    <message>
        <source>Vector cutting speed, in percent of the fastest</source>
        <translation>Vector cutting speed, in percent of the fastest</translation>
    </message>
    <message>
        <source>Vector speed</source>
        <translation>Vector speed</translation>
    </message>
    <message>
        <source>Vector speed in percent</source>
        <translation>Vector speed in percent</translation>
    </message>
    <message>
        <source>Laser power for vector cutting, in percent</source>
        <translation>Laser power for vector cutting, in percent</translation>
    </message>
    <message>
        <source>Vector power</source>
        <translation>Vector power</translation>
    </message>
    <message>
        <source>Vector power in percent</source>
        <translation>Vector power in percent</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Frequency:</translation>
    </message>
    <message>
        <source>Laser pulse frequency for vector cutting, in hertz</source>
        <translation>Laser pulse frequency for vector cutting, in hertz</translation>
    </message>
    <message>
        <source>Vector frequency</source>
        <translation>Vector frequency</translation>
    </message>
    <message>
        <source>Vector frequency in hertz</source>
        <translation>Vector frequency in hertz</translation>
    </message>
    <message>
        <source>Sorting:</source>
        <translation>Sorting:</translation>
    </message>
    <message>
        <source>The order in which the vector paths are cut</source>
        <translation>The order in which the vector paths are cut</translation>
    </message>
    <message>
        <source>Vector sorting</source>
        <translation>Vector sorting</translation>
    </message>
    <message>
        <source>Speed compensation</source>
        <translation>Speed compensation</translation>
    </message>
    <message>
        <source>Adjust the cutting speed along curves and corners</source>
        <translation>Adjust the cutting speed along curves and corners</translation>
    </message>
    <message>
        <source>Vector speed compensation</source>
        <translation>Vector speed compensation</translation>
    </message>
    <message>
        <source>Power compensation</source>
        <translation>Power compensation</translation>
    </message>
    <message>
        <source>Adjust the laser power to the cutting speed</source>
        <translation>Adjust the laser power to the cutting speed</translation>
    </message>
    <message>
        <source>Vector power compensation</source>
        <translation>Vector power compensation</translation>
    </message>
    <message>
        <source>Vector grid</source>
        <translation>Vector grid</translation>
    </message>
    <message>
        <source>Cut the vectors in grid mode; needs auto focus</source>
        <translation>Cut the vectors in grid mode; needs auto focus</translation>
    </message>
</context>
</TS>
