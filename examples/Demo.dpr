program Demo;

{ A small project for trying Codeweft: two units, one of them in a
  subfolder, routines that call each other across units, and a
  conditional region. }

uses
  Tools in 'Tools.pas',
  Shapes in 'lib\Shapes.pas';

{$DEFINE VERBOSE}

var
  Square: TSquare;

begin
  Square := TSquare.Create(3);
  try
    {$IFDEF VERBOSE}
    Report('Area: ', Square.Area);
    {$ELSE}
    Report('', 0);
    {$ENDIF}
    Report('Sum 1..10: ', SumTo(10));
  finally
    Square.Free;
  end;
end.
