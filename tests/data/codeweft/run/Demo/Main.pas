unit Main;

interface

uses
  Tools;

type
  TForm1 = class(TForm)
    procedure Button1Click(Sender: TObject);
  end;

procedure Check(A, B: Integer);

implementation

{ a<b }
procedure Check(A, B: Integer);
begin
  if A<B then
    DoIt;
end;

procedure TForm1.Button1Click(Sender: TObject);
const
  Root = 'C:\';
begin
  Tools.DoIt;
  Check(1, 2);
end;

end.
