<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>FileMerge</name>
    <message numerus="yes">
        <source>%1: your changes and %Ln record(s) from disk merged</source>
        <translation>
            <numerusform>%1: your changes and %Ln record from disk merged</numerusform>
            <numerusform>%1: your changes and %Ln records from disk merged</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %2 of your changes and %3 from disk merged; %Ln record(s) changed on both sides (is/are) kept twice</source>
        <translation>
            <numerusform>%1: %2 of your changes and %3 from disk merged; %Ln record changed on both sides is kept twice</numerusform>
            <numerusform>%1: %2 of your changes and %3 from disk merged; %Ln records changed on both sides are kept twice</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1: %Ln record(s) of the conflict copy merged; the copy goes to the trash when you save</source>
        <translation>
            <numerusform>%1: %Ln record of the conflict copy merged; the copy goes to the trash when you save</numerusform>
            <numerusform>%1: %Ln records of the conflict copy merged; the copy goes to the trash when you save</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Printing</name>
    <message numerus="yes">
        <source>Printed list will contain %Ln lines of data!<byte value="xd"/>
<byte value="xd"/>
Continue printing?</source>
        <translation>
            <numerusform>Printed list will contain %Ln lines of data!<byte value="xd"/>
<byte value="xd"/>
Continue printing?</numerusform>
            <numerusform>Printed list will contain %Ln lines of data!<byte value="xd"/>
<byte value="xd"/>
Continue printing?</numerusform>
        </translation>
    </message>
</context>
</TS>
