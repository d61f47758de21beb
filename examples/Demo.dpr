program Demo;

{ The example project of Codeweft: three units of its own, one of them in a
  subfolder, and one unit from outside the project. }

uses
  SysUtils,
  Geometry in 'Geometry.pas',
  Shapes in 'Shapes.pas',
  Tools in 'lib\Tools.pas';

var
  Drawing: TDrawing;

begin
  Drawing := TDrawing.Create;
  try
    Drawing.Add(TCircle.Create(MakePoint(0, 0), 2.5));
    Drawing.Add(TRectangle.Create(MakePoint(1, 1), MakePoint(4, 3)));
    Drawing.Report;
  finally
    Drawing.Free;
  end;
end.
