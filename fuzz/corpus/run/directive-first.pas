{$MODE OBJFPC}
unit U;
interface
{$IFDEF X}
procedure A1;
{$ELSEC}
procedure A2;
{$ENDC}
implementation
procedure A1;
begin
  A2;
end;
end.
